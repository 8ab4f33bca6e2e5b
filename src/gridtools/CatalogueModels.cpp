#include "gridtools/CatalogueModels.h"

#include "data/TableObject.h"

#include <QColor>

GridModel::GridModel(TableObject* table, QList<GridColumnObject*> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_table(table)
    , m_columns(std::move(columns))
{
    connectTable();
    for (GridColumnObject* column : std::as_const(m_columns)) {
        connect(column, &GridColumnObject::captionChanged, this,
                [this](int position) { emit headerDataChanged(Qt::Horizontal, position, position); });
    }
    m_indicatorRow = m_table->recNo();
}

int GridModel::fieldOf(int position) const
{
    const GridColumnObject* c = column(position);
    return c ? c->fieldIndex() : -1;
}

void GridModel::connectTable()
{
    TableObject* t = m_table;
    connect(t, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(t, &QAbstractItemModel::modelReset, this, [this] {
        m_indicatorRow = m_table->recNo();
        endResetModel();
    });
    connect(t, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this](const QModelIndex&, int first, int last) { beginInsertRows({}, first, last); });
    connect(t, &QAbstractItemModel::rowsInserted, this, [this] { endInsertRows(); });
    connect(t, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) { beginRemoveRows({}, first, last); });
    connect(t, &QAbstractItemModel::rowsRemoved, this, [this] { endRemoveRows(); });
    connect(t, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                // Only the grid columns bound to a changed field.
                int first = -1, last = -1;
                for (int i = 0; i < m_columns.size(); ++i) {
                    const int f = m_columns[i]->fieldIndex();
                    if (f >= topLeft.column() && f <= bottomRight.column()) {
                        if (first < 0)
                            first = i;
                        last = i;
                    }
                }
                if (first >= 0)
                    emit dataChanged(index(topLeft.row(), first), index(bottomRight.row(), last));
            });
    connect(t, &TableObject::currentRowChanged, this, &GridModel::currentMoved);
    connect(t, &TableObject::stateChanged, this, [this] {
        if (m_indicatorRow >= 0 && m_indicatorRow < rowCount())
            emit headerDataChanged(Qt::Vertical, m_indicatorRow, m_indicatorRow);
    });
}

void GridModel::currentMoved(int row)
{
    const int old = m_indicatorRow;
    m_indicatorRow = row;
    if (m_table->controlsDisabled())
        return;
    if (old >= 0 && old < rowCount())
        emit headerDataChanged(Qt::Vertical, old, old);
    if (row >= 0 && row < rowCount())
        emit headerDataChanged(Qt::Vertical, row, row);
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_table ? 0 : m_table->rowCount();
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_table)
        return {};
    const int field = fieldOf(index.column());
    if (field < 0)
        return {};
    return m_table->data(m_table->index(index.row(), field), role);
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || !m_table)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = m_table->flags(m_table->index(index.row(), fieldOf(index.column())));
    if (const GridColumnObject* c = column(index.column()); c && c->definition().editor == EditorKind::ReadOnly)
        f &= ~Qt::ItemIsEditable;
    return f;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        const GridColumnObject* c = column(section);
        if (!c)
            return {};
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return c->caption();
        return {};
    }
    // Row indicator: the current record, marked by its edit state.
    if (role == Qt::DisplayRole) {
        if (section != m_indicatorRow || !m_table)
            return QString();
        switch (m_table->state()) {
        case TableObject::State::Edit:
            return QStringLiteral("✎");
        case TableObject::State::Insert:
            return QStringLiteral("✱");
        default:
            return QStringLiteral("▶");
        }
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

CatalogueProxy::CatalogueProxy(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    setSortRole(TableObject::RawRole);
    setDynamicSortFilter(true);
}

void CatalogueProxy::setSortKeys(const QList<QPair<int, Qt::SortOrder>>& keys)
{
    m_keys = keys;
    if (m_keys.isEmpty()) {
        sort(-1);
        return;
    }
    // The keys carry their own directions; the proxy always sorts "ascending" by them.
    invalidate();
    sort(0, Qt::AscendingOrder);
}

int CatalogueProxy::compareValues(const QVariant& left, const QVariant& right)
{
    const bool leftNull = !left.isValid();
    const bool rightNull = !right.isValid();
    if (leftNull || rightNull)
        return leftNull == rightNull ? 0 : (leftNull ? -1 : 1);
    const int lt = left.typeId();
    const int rt = right.typeId();
    if (lt == QMetaType::QString && rt == QMetaType::QString) {
        const QString& a = *static_cast<const QString*>(left.constData());
        const QString& b = *static_cast<const QString*>(right.constData());
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c : a.compare(b, Qt::CaseSensitive);
    }
    if ((lt == QMetaType::LongLong || lt == QMetaType::Double) && (rt == QMetaType::LongLong || rt == QMetaType::Double)) {
        if (lt == QMetaType::LongLong && rt == QMetaType::LongLong) {
            const qlonglong a = left.toLongLong(), b = right.toLongLong();
            return a < b ? -1 : (a > b ? 1 : 0);
        }
        const double a = left.toDouble(), b = right.toDouble();
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    return left.toString().compare(right.toString(), Qt::CaseInsensitive);
}

bool CatalogueProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const QAbstractItemModel* model = sourceModel();
    for (const auto& [column, order] : m_keys) {
        const int c = compareValues(model->index(left.row(), column).data(TableObject::RawRole),
                                    model->index(right.row(), column).data(TableObject::RawRole));
        if (c != 0)
            return order == Qt::AscendingOrder ? c < 0 : c > 0;
    }
    // Equal keys keep table order.
    return left.row() < right.row();
}
