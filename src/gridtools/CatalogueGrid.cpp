#include "gridtools/CatalogueGrid.h"

#include "data/DataModule.h"
#include "data/TableObject.h"
#include "gridtools/CatalogueDelegate.h"
#include "gridtools/CatalogueModels.h"
#include "gridtools/GridWidgets.h"
#include "gridtools/LookupCombo.h"
#include "gridtools/NavigatorBar.h"
#include "platform/CommandGuard.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The grids' own flat look; the native style leaves header and rows to the platform.
const QString flatHeaderStyle =
    QStringLiteral("QHeaderView::section { background-color: #eef2f6; color: #1f2d3d; border: 0px;"
                   " border-right: 1px solid #c8d1dc; border-bottom: 1px solid #c8d1dc; padding: 2px 4px; }");

} // namespace

CatalogueGrid::CatalogueGrid(const GridDef& definition, DataSource* source, QWidget* parent)
    : QWidget(parent)
    , m_def(definition)
    , m_table(source->dataSet())
{
    setObjectName(definition.gridName);

    m_view = new QTableView(this);
    m_view->setObjectName(definition.viewName);
    QStringList editorNames;
    for (int i = 0; i < m_def.columns.size(); ++i) {
        const GridColumn& c = m_def.columns[i];
        m_columns.append(new GridColumnObject(c, m_table->fieldIndex(c.field), i, m_view));
        editorNames.append(c.name + QLatin1String("Filter"));
    }
    m_model = new GridModel(m_table, m_columns, this);
    m_proxy = new CatalogueProxy(m_model, m_def, this);
    m_header = new FilterHeader(definition.gridName, m_view);
    m_header->setObjectName(definition.viewName + QLatin1String("Header"));
    m_view->setHorizontalHeader(m_header);
    m_view->setModel(m_proxy);
    m_header->createEditors(editorNames);
    m_delegate = new CatalogueDelegate(
        m_model, m_proxy, [this](int row, int position, const QVariant& value) { commit(row, position, value); },
        m_view);
    m_delegate->setEditButtonsShown(definition.alwaysShowEditButtons);
    m_view->setItemDelegate(m_delegate);

    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setAlternatingRowColors(false);
    m_view->setWordWrap(false);
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_header->setDefaultSectionSize(120);
    QHeaderView* rows = m_view->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    rows->setMinimumWidth(16);
    rows->setMaximumWidth(16);
    rows->setSectionsClickable(false);
    // The row indicator follows every cursor move. The header's own handling of changed header
    // data measures its sections anew, which on a large table costs milliseconds a move; the
    // sections are fixed here, so repainting the changed ones is all it takes.
    if (!disconnect(m_proxy, &QAbstractItemModel::headerDataChanged, rows, &QHeaderView::headerDataChanged))
        disconnect(m_proxy, SIGNAL(headerDataChanged(Qt::Orientation, int, int)), rows,
                   SLOT(headerDataChanged(Qt::Orientation, int, int)));
    connect(m_proxy, &QAbstractItemModel::headerDataChanged, rows,
            [rows](Qt::Orientation orientation, int first, int last) {
                if (orientation != Qt::Vertical || rows->isHidden())
                    return;
                QWidget* port = rows->viewport();
                if (last - first > 64) {
                    port->update();
                    return;
                }
                for (int section = std::max(first, 0); section <= last && section < rows->count(); ++section) {
                    const int top = rows->sectionViewportPosition(section);
                    const int height = rows->sectionSize(section);
                    if (top + height >= 0 && top < port->height())
                        port->update(0, top, port->width(), height);
                }
            });
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);

    for (GridColumnObject* column : std::as_const(m_columns)) {
        m_view->setColumnHidden(column->position(), column->isHidden());
        connect(column, &GridColumnObject::visibilityChanged, this, [this](int position, bool hidden) {
            m_view->setColumnHidden(position, hidden);
            updateChooser();
        });
        connect(column, &GridColumnObject::captionChanged, this, [this] {
            updateGroupingPanel();
            updateChooser();
        });
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_groupPanel = new GroupingPanel(definition.gridName, this);
    m_groupPanel->setObjectName(definition.viewName + QLatin1String("GroupByBox"));
    layout->addWidget(m_groupPanel);
    layout->addWidget(m_view, 1);
    if (!definition.footerSummaries.isEmpty()) {
        m_footer = new FooterBar(m_view, m_proxy, this);
        m_footer->setObjectName(definition.viewName + QLatin1String("Footer"));
        layout->addWidget(m_footer);
    }
    if (definition.navigatorBar) {
        m_navigator =
            new NavigatorBar(m_table, NavigatorBar::standardButtons(definition.viewName + QLatin1String("Nav")), this);
        m_navigator->setObjectName(definition.viewName + QLatin1String("Navigator"));
        layout->addWidget(m_navigator);
    }

    setMultiSelect(definition.multiSelect);
    setRowIndicatorVisible(definition.rowIndicator);
    setGroupingPanelVisible(definition.groupingPanel);
    setColumnsFitWidth(definition.columnsFitWidth);
    setSortKeys(definition.sort);
    applyLook();
    updateGroupingPanel();

    connect(m_header, &QHeaderView::sectionClicked, this, &CatalogueGrid::headerClicked);
    connect(m_header, &FilterHeader::filterEdited, this, [this](int position, const QString& text) {
        m_proxy->setFilter(position, text);
        followTable(m_table->recNo());
    });
    connect(m_header, &FilterHeader::sectionDraggedOut, this, &CatalogueGrid::startHeaderDrag);
    connect(m_header, &FilterHeader::columnDropped, this, &CatalogueGrid::columnDropped);
    connect(m_groupPanel, &GroupingPanel::groupDropped, this,
            [this](const QString& column, int level) { groupBy(column, level); });
    connect(m_groupPanel, &GroupingPanel::groupRemoved, this, &CatalogueGrid::ungroup);
    connect(m_groupPanel, &GroupingPanel::orderToggled, this, [this](const QString& column) {
        QList<GridSortKey> groups = groupKeys();
        for (GridSortKey& g : groups) {
            if (g.column == column)
                g.order = g.order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        }
        setGroupKeys(groups);
    });
    connect(m_proxy, &CatalogueProxy::groupRowsInserted, this, &CatalogueGrid::spanGroupRows);
    connect(m_proxy, &CatalogueProxy::rowsRelaidOut, this, &CatalogueGrid::updateSpans);

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
        const int row = m_proxy->sourceRow(index.row());
        if (row < 0)
            return;
        const GridColumnObject* c = m_model->column(index.column());
        emit cellClicked(row, c ? c->objectName() : QString());
    });
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (m_contextMenu)
            m_contextMenu->popup(m_view->viewport()->mapToGlobal(pos));
    });
    followTable(m_table->recNo());
}

CatalogueGrid::~CatalogueGrid()
{
    delete m_chooser;
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
    return m_proxy->dataRows();
}

QList<int> CatalogueGrid::selectedRows() const
{
    QList<int> proxyRows;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows())
        proxyRows.append(index.row());
    std::sort(proxyRows.begin(), proxyRows.end());
    QList<int> rows;
    for (int r : std::as_const(proxyRows)) {
        if (const int row = m_proxy->sourceRow(r); row >= 0)
            rows.append(row);
    }
    return rows;
}

QVariant CatalogueGrid::value(int sourceRow, const QString& name) const
{
    const GridColumnObject* c = column(name);
    return c ? m_table->valueAt(sourceRow, c->fieldIndex()) : QVariant();
}

// --- sorting and grouping --------------------------------------------------------------------

namespace {

CatalogueProxy::Keys positionsOf(const CatalogueGrid* grid, const QList<GridSortKey>& keys)
{
    CatalogueProxy::Keys positions;
    for (const GridSortKey& key : keys) {
        const GridColumnObject* c = grid->column(key.column);
        if (!c)
            continue;
        const bool present =
            std::any_of(positions.begin(), positions.end(), [&](const auto& p) { return p.first == c->position(); });
        if (!present)
            positions.append({c->position(), key.order});
    }
    return positions;
}

} // namespace

void CatalogueGrid::setSortKeys(const QList<GridSortKey>& keys)
{
    m_proxy->setSortKeys(positionsOf(this, keys));
    m_header->setSortMarks(m_proxy->groupKeys() + m_proxy->sortKeys());
    followTable(m_table->recNo());
}

QList<GridSortKey> CatalogueGrid::sortKeys() const
{
    QList<GridSortKey> keys;
    for (const auto& [position, order] : m_proxy->sortKeys())
        keys.append({m_columns[position]->objectName(), order});
    return keys;
}

void CatalogueGrid::setGroupKeys(const QList<GridSortKey>& groups)
{
    m_proxy->setGroupKeys(positionsOf(this, groups));
    m_header->setSortMarks(m_proxy->groupKeys() + m_proxy->sortKeys());
    updateGroupingPanel();
    followTable(m_table->recNo());
}

QList<GridSortKey> CatalogueGrid::groupKeys() const
{
    QList<GridSortKey> keys;
    for (const auto& [position, order] : m_proxy->groupKeys())
        keys.append({m_columns[position]->objectName(), order});
    return keys;
}

void CatalogueGrid::groupBy(const QString& name, int level)
{
    if (!column(name))
        return;
    QList<GridSortKey> groups = groupKeys();
    Qt::SortOrder order = Qt::AscendingOrder;
    for (int i = 0; i < groups.size(); ++i) {
        if (groups[i].column == name) {
            order = groups[i].order;
            // Moving a level further in counts without the place it leaves.
            if (level > i)
                --level;
            groups.removeAt(i);
            break;
        }
    }
    if (level < 0 || level > groups.size())
        level = int(groups.size());
    groups.insert(level, {name, order});
    setGroupKeys(groups);
}

void CatalogueGrid::ungroup(const QString& name)
{
    QList<GridSortKey> groups = groupKeys();
    const auto removed = groups.removeIf([&](const GridSortKey& g) { return g.column == name; });
    if (removed > 0)
        setGroupKeys(groups);
}

void CatalogueGrid::setAllExpanded(bool expanded)
{
    m_proxy->setAllExpanded(expanded);
    followTable(m_table->recNo());
}

void CatalogueGrid::headerClicked(int section)
{
    if (m_header->isLeaving())
        return;
    const QString name = m_columns.value(section) ? m_columns[section]->objectName() : QString();
    if (name.isEmpty())
        return;
    // The header of a grouping column turns the group order round.
    QList<GridSortKey> groups = groupKeys();
    for (GridSortKey& g : groups) {
        if (g.column == name) {
            g.order = g.order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
            setGroupKeys(groups);
            return;
        }
    }
    // A click sorts by that column alone (again: the other way round); with Shift it adds the
    // column as a further key.
    QList<GridSortKey> keys = sortKeys();
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
}

void CatalogueGrid::updateGroupingPanel()
{
    QList<GroupingPanel::Group> groups;
    for (const GridSortKey& key : groupKeys())
        groups.append({key.column, column(key.column)->caption(), key.order});
    m_groupPanel->setGroups(groups);
}

void CatalogueGrid::spanGroupRows(int first, int last)
{
    const int columns = m_proxy->columnCount();
    for (int row = first; row <= last; ++row) {
        if (m_proxy->kind(row) == CatalogueProxy::RowKind::Group) {
            m_view->setSpan(row, 0, 1, columns);
            m_spansSet = true;
        }
    }
}

void CatalogueGrid::updateSpans()
{
    if (m_spansSet) {
        m_view->clearSpans();
        m_spansSet = false;
    }
    if (!m_proxy->groupKeys().isEmpty())
        spanGroupRows(0, m_proxy->rowCount() - 1);
    followTable(m_table->recNo());
}

bool CatalogueGrid::toggleGroupAt(int row)
{
    if (m_proxy->kind(row) != CatalogueProxy::RowKind::Group)
        return false;
    m_proxy->setExpanded(row, !m_proxy->isExpanded(row));
    return true;
}

// --- filter row and footer -------------------------------------------------------------------

void CatalogueGrid::setFilterText(const QString& name, const QString& text)
{
    const GridColumnObject* c = column(name);
    if (!c)
        return;
    if (QLineEdit* edit = m_header->editor(c->position()))
        edit->setText(text); // the field passes it on
    else
        m_proxy->setFilter(c->position(), text);
}

QString CatalogueGrid::filterText(const QString& name) const
{
    const GridColumnObject* c = column(name);
    return c ? m_proxy->filter(c->position()) : QString();
}

QString CatalogueGrid::footerText(const QString& name) const
{
    const GridColumnObject* c = column(name);
    return c ? m_proxy->footerText(c->position()) : QString();
}

// --- column chooser and column drags ---------------------------------------------------------

ColumnChooser* CatalogueGrid::columnChooser()
{
    if (!m_chooser) {
        m_chooser = new ColumnChooser(m_def.gridName, this);
        m_chooser->setObjectName(m_def.viewName + QLatin1String("Customize"));
        connect(m_chooser, &ColumnChooser::hideRequested, this, [this](const QString& name) {
            if (GridColumnObject* c = column(name))
                c->setHidden(true);
        });
        connect(m_chooser, &ColumnChooser::showRequested, this, [this](const QString& name) { showColumn(name, -1); });
        updateChooser();
    }
    return m_chooser;
}

void CatalogueGrid::showColumnChooser()
{
    ColumnChooser* chooser = columnChooser();
    if (!chooser->isVisible() && !m_chooserPlaced) {
        // First shown beside the grid's right edge, below the column header.
        m_chooserPlaced = true;
        const QPoint corner = m_view->mapToGlobal(QPoint(m_view->width(), m_header->height()));
        chooser->move(corner.x() - chooser->width() - 24, corner.y() + 8);
    }
    chooser->show();
    chooser->raise();
    chooser->activateWindow();
}

void CatalogueGrid::hideEvent(QHideEvent* event)
{
    // The chooser belongs to the grid on screen; on another page it would offer the wrong columns.
    if (m_chooser)
        m_chooser->hide();
    QWidget::hideEvent(event);
}

void CatalogueGrid::updateChooser()
{
    if (!m_chooser)
        return;
    QList<ColumnChooser::Column> hidden;
    for (const GridColumnObject* c : std::as_const(m_columns)) {
        if (c->isHidden())
            hidden.append({c->objectName(), c->caption()});
    }
    m_chooser->setHiddenColumns(hidden);
}

void CatalogueGrid::showColumn(const QString& name, int visualIndex)
{
    GridColumnObject* c = column(name);
    if (!c)
        return;
    c->setHidden(false);
    if (visualIndex < 0)
        return;
    const int from = m_header->visualIndex(c->position());
    int to = visualIndex > from ? visualIndex - 1 : visualIndex;
    to = std::clamp(to, 0, m_header->count() - 1);
    if (to != from)
        m_header->moveSection(from, to);
}

void CatalogueGrid::columnDropped(const GridDrag::Payload& payload, int visualIndex)
{
    // A grouping column dragged back onto the header is no longer grouped; wherever a column
    // comes from, it is shown where it was dropped.
    if (payload.source == GridDrag::Source::GroupingPanel)
        ungroup(payload.column);
    showColumn(payload.column, visualIndex);
}

void CatalogueGrid::startHeaderDrag(int section)
{
    const GridColumnObject* c = m_model->column(section);
    if (!c)
        return;
    auto* drag = new QDrag(m_header);
    drag->setMimeData(GridDrag::encode({m_def.gridName, c->objectName(), GridDrag::Source::Header}));
    drag->exec(Qt::MoveAction);
}

// --- options ---------------------------------------------------------------------------------

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

bool CatalogueGrid::rowIndicatorVisible() const
{
    return !m_view->verticalHeader()->isHidden();
}

void CatalogueGrid::setGroupingPanelVisible(bool on)
{
    m_groupPanel->setVisible(on);
}

bool CatalogueGrid::groupingPanelVisible() const
{
    return !m_groupPanel->isHidden();
}

void CatalogueGrid::setColumnsFitWidth(bool on)
{
    m_header->setSectionResizeMode(on ? QHeaderView::Stretch : QHeaderView::Interactive);
}

bool CatalogueGrid::columnsFitWidth() const
{
    return m_header->count() > 0 && m_header->sectionResizeMode(0) == QHeaderView::Stretch;
}

void CatalogueGrid::setFooterVisible(bool on)
{
    if (m_footer)
        m_footer->setVisible(on);
}

bool CatalogueGrid::footerVisible() const
{
    return m_footer && !m_footer->isHidden();
}

void CatalogueGrid::setNativeStyle(bool on)
{
    if (on == m_nativeStyle)
        return;
    m_nativeStyle = on;
    applyLook();
}

void CatalogueGrid::applyLook()
{
    const QString sheet = m_nativeStyle ? QString() : flatHeaderStyle;
    m_header->setStyleSheet(sheet);
    m_view->verticalHeader()->setStyleSheet(sheet);
}

// --- updates and the current record ----------------------------------------------------------

void CatalogueGrid::beginUpdate()
{
    if (m_updateDepth++ == 0) {
        m_view->setUpdatesEnabled(false);
        m_proxy->suspend();
    }
}

void CatalogueGrid::endUpdate()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth == 0) {
        m_proxy->resume();
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
    const int sourceRow = m_proxy->sourceRow(proxyRow);
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
    const int target = m_proxy->rowOf(row);
    if (target < 0)
        return;
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid() && current.row() == target)
        return;
    m_syncing = true;
    const int column = current.isValid() ? current.column() : 0;
    m_view->selectionModel()->setCurrentIndex(m_proxy->index(target, column),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(m_proxy->index(target, column));
    m_syncing = false;
}

// --- mouse and keys --------------------------------------------------------------------------

bool CatalogueGrid::viewportMousePress(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = m_view->indexAt(pos);
    if (!index.isValid() || event->button() != Qt::LeftButton)
        return false;
    const QRect rect = m_view->visualRect(index);
    switch (m_proxy->kind(index.row())) {
    case CatalogueProxy::RowKind::Group:
        if (event->type() == QEvent::MouseButtonDblClick ||
            CatalogueDelegate::expandButtonRect(rect, m_proxy->level(index.row())).contains(pos)) {
            m_view->setCurrentIndex(index);
            return toggleGroupAt(index.row());
        }
        return false;
    case CatalogueProxy::RowKind::Data:
        if (event->type() == QEvent::MouseButtonPress && m_delegate->hasEditButton(index.column()) &&
            (index.flags() & Qt::ItemIsEditable) && CatalogueDelegate::editButtonRect(rect).contains(pos)) {
            m_view->setCurrentIndex(index);
            m_view->edit(index);
            return true;
        }
        return false;
    case CatalogueProxy::RowKind::GroupFooter:
        return false;
    }
    return false;
}

bool CatalogueGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        emit keyPressed(key->key(), key->modifiers());
        const int row = m_view->currentIndex().row();
        if (m_proxy->kind(row) == CatalogueProxy::RowKind::Group) {
            const bool open = key->key() == Qt::Key_Right || key->key() == Qt::Key_Plus;
            const bool close = key->key() == Qt::Key_Left || key->key() == Qt::Key_Minus;
            if ((open || close) && open != m_proxy->isExpanded(row)) {
                m_proxy->setExpanded(row, open);
                return true;
            }
        }
    }
    if (watched == m_view->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        if (viewportMousePress(static_cast<QMouseEvent*>(event)))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}
