#include "gridtools/CatalogueGrid.h"

#include "data/DataModule.h"
#include "data/TableObject.h"
#include "gridtools/CatalogueDelegate.h"
#include "gridtools/CatalogueModels.h"
#include "gridtools/LookupCombo.h"
#include "gridtools/NavigatorBar.h"
#include "platform/CommandGuard.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

CatalogueGrid::CatalogueGrid(const GridDef& definition, DataSource* source, QWidget* parent)
    : QWidget(parent)
    , m_def(definition)
    , m_table(source->dataSet())
{
    setObjectName(definition.gridName);

    m_view = new QTableView(this);
    m_view->setObjectName(definition.viewName);
    for (int i = 0; i < m_def.columns.size(); ++i) {
        const GridColumn& c = m_def.columns[i];
        m_columns.append(new GridColumnObject(c, m_table->fieldIndex(c.field), i, m_view));
    }
    m_model = new GridModel(m_table, m_columns, this);
    m_proxy = new CatalogueProxy(this);
    m_proxy->setSourceModel(m_model);
    m_view->setModel(m_proxy);
    m_view->setItemDelegate(new CatalogueDelegate(
        m_model, m_proxy, [this](int row, int position, const QVariant& value) { commit(row, position, value); },
        m_view));

    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setAlternatingRowColors(false);
    m_view->setWordWrap(false);
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->horizontalHeader()->setSectionsMovable(true);
    m_view->horizontalHeader()->setSectionsClickable(true);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->horizontalHeader()->setSortIndicatorShown(true);
    m_view->horizontalHeader()->setDefaultSectionSize(120);
    QHeaderView* rows = m_view->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    rows->setMinimumWidth(16);
    rows->setMaximumWidth(16);
    rows->setSectionsClickable(false);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);

    for (GridColumnObject* column : std::as_const(m_columns)) {
        m_view->setColumnHidden(column->position(), column->isHidden());
        connect(column, &GridColumnObject::visibilityChanged, this,
                [this](int position, bool hidden) { m_view->setColumnHidden(position, hidden); });
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_groupPanel = new QLabel(tr("Ziehen Sie eine Spaltenüberschrift hierher, um nach dieser Spalte zu gruppieren"),
                              this);
    m_groupPanel->setObjectName(definition.viewName + QLatin1String("GroupByBox"));
    m_groupPanel->setMargin(6);
    m_groupPanel->setStyleSheet(QStringLiteral("QLabel { color: #555; background: #e8e8e8; }"));
    m_groupPanel->setVisible(definition.groupingPanel);
    layout->addWidget(m_groupPanel);
    layout->addWidget(m_view, 1);
    if (definition.navigatorBar) {
        m_navigator = new NavigatorBar(m_table, NavigatorBar::standardButtons(definition.viewName + QLatin1String("Nav")),
                                       this);
        m_navigator->setObjectName(definition.viewName + QLatin1String("Navigator"));
        layout->addWidget(m_navigator);
    }

    setMultiSelect(definition.multiSelect);
    setRowIndicatorVisible(definition.rowIndicator);
    setColumnsFitWidth(definition.columnsFitWidth);
    setSortKeys(definition.sort);

    connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, this, &CatalogueGrid::headerClicked);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { gridRowChanged(current.row()); });
    connect(m_table, &TableObject::currentRowChanged, this, &CatalogueGrid::followTable);
    connect(m_table, &QAbstractItemModel::modelReset, this, [this] { followTable(m_table->recNo()); });
    connect(m_table, &TableObject::controlsEnabledChanged, this, [this](bool enabled) {
        if (enabled)
            endUpdate();
        else
            beginUpdate();
    });
    connect(m_view, &QTableView::clicked, this, [this](const QModelIndex& index) {
        const GridColumnObject* c = m_model->column(index.column());
        emit cellClicked(m_proxy->mapToSource(index).row(), c ? c->objectName() : QString());
    });
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (m_contextMenu)
            m_contextMenu->popup(m_view->viewport()->mapToGlobal(pos));
    });
    followTable(m_table->recNo());
}

GridColumnObject* CatalogueGrid::column(const QString& name) const
{
    for (GridColumnObject* c : m_columns) {
        if (c->objectName() == name)
            return c;
    }
    return nullptr;
}

QList<int> CatalogueGrid::visibleRows() const
{
    QList<int> rows;
    const int n = m_proxy->rowCount();
    rows.reserve(n);
    for (int r = 0; r < n; ++r)
        rows.append(m_proxy->mapToSource(m_proxy->index(r, 0)).row());
    return rows;
}

QList<int> CatalogueGrid::selectedRows() const
{
    QList<int> proxyRows;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows())
        proxyRows.append(index.row());
    std::sort(proxyRows.begin(), proxyRows.end());
    QList<int> rows;
    for (int r : std::as_const(proxyRows))
        rows.append(m_proxy->mapToSource(m_proxy->index(r, 0)).row());
    return rows;
}

void CatalogueGrid::setSortKeys(const QList<GridSortKey>& keys)
{
    QList<QPair<int, Qt::SortOrder>> positions;
    for (const GridSortKey& key : keys) {
        if (const GridColumnObject* c = column(key.column))
            positions.append({c->position(), key.order});
    }
    m_proxy->setSortKeys(positions);
    if (positions.isEmpty())
        m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    else
        m_view->horizontalHeader()->setSortIndicator(positions.first().first, positions.first().second);
}

QList<GridSortKey> CatalogueGrid::sortKeys() const
{
    QList<GridSortKey> keys;
    for (const auto& [position, order] : m_proxy->sortKeys())
        keys.append({m_columns[position]->objectName(), order});
    return keys;
}

void CatalogueGrid::headerClicked(int section)
{
    // A click sorts by that column alone (again: the other way round); with Shift it adds the
    // column as a further key.
    QList<GridSortKey> keys = sortKeys();
    const QString name = m_columns.value(section) ? m_columns[section]->objectName() : QString();
    const bool extend = QApplication::keyboardModifiers() & Qt::ShiftModifier;
    auto it = std::find_if(keys.begin(), keys.end(), [&](const GridSortKey& k) { return k.column == name; });
    if (extend) {
        if (it != keys.end())
            it->order = it->order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        else
            keys.append({name, Qt::AscendingOrder});
    } else {
        Qt::SortOrder order = Qt::AscendingOrder;
        if (it != keys.end() && keys.size() == 1 && it->order == Qt::AscendingOrder)
            order = Qt::DescendingOrder;
        keys = {{name, order}};
    }
    setSortKeys(keys);
    followTable(m_table->recNo());
}

void CatalogueGrid::setMultiSelect(bool on)
{
    m_view->setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool CatalogueGrid::multiSelect() const
{
    return m_view->selectionMode() == QAbstractItemView::ExtendedSelection;
}

void CatalogueGrid::setRowIndicatorVisible(bool on)
{
    m_view->verticalHeader()->setVisible(on);
}

void CatalogueGrid::setGroupingPanelVisible(bool on)
{
    m_groupPanel->setVisible(on);
}

void CatalogueGrid::setColumnsFitWidth(bool on)
{
    m_view->horizontalHeader()->setSectionResizeMode(on ? QHeaderView::Stretch : QHeaderView::Interactive);
}

void CatalogueGrid::beginUpdate()
{
    if (m_updateDepth++ == 0)
        m_view->setUpdatesEnabled(false);
}

void CatalogueGrid::endUpdate()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth == 0) {
        m_view->setUpdatesEnabled(true);
        followTable(m_table->recNo());
        m_view->viewport()->update();
    }
}

void CatalogueGrid::commit(int sourceRow, int position, const QVariant& value)
{
    const GridColumnObject* c = m_model->column(position);
    if (!c)
        return;
    CommandGuard::run([&] {
        m_table->moveTo(sourceRow);
        m_table->setValue(c->fieldIndex(), value);
        m_table->post();
    });
    const GridColumn& def = c->definition();
    const QString text = value.toString();
    if (def.editor == EditorKind::Lookup && !def.lookup.newValueHandler.isEmpty() && !text.isEmpty()) {
        LookupCombo probe(def.lookup);
        if (!probe.listContains(text))
            CommandGuard::run([&] { LookupHandlers::run(def.lookup.newValueHandler, text); });
    }
}

void CatalogueGrid::gridRowChanged(int proxyRow)
{
    if (m_syncing || proxyRow < 0)
        return;
    const int sourceRow = m_proxy->mapToSource(m_proxy->index(proxyRow, 0)).row();
    if (sourceRow < 0 || sourceRow == m_table->recNo())
        return;
    m_syncing = true;
    const bool moved = CommandGuard::run([&] { m_table->moveTo(sourceRow); });
    m_syncing = false;
    if (!moved)
        followTable(m_table->recNo());
}

void CatalogueGrid::followTable(int row)
{
    if (m_syncing || m_table->controlsDisabled() || m_updateDepth > 0)
        return;
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex target = m_proxy->mapFromSource(m_model->index(row, 0));
    if (!target.isValid())
        return;
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid() && current.row() == target.row())
        return;
    m_syncing = true;
    const int column = current.isValid() ? current.column() : 0;
    m_view->selectionModel()->setCurrentIndex(m_proxy->index(target.row(), column),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(target);
    m_syncing = false;
}

bool CatalogueGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        emit keyPressed(key->key(), key->modifiers());
    }
    return QWidget::eventFilter(watched, event);
}
