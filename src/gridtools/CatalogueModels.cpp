#include "gridtools/CatalogueModels.h"

#include "data/TableObject.h"
#include "gridtools/GridCollation.h"

#include <QColor>
#include <QFont>
#include <QLocale>

#include <algorithm>
#include <unordered_map>

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
        if (!m_table->controlsDisabled() && m_indicatorRow >= 0 && m_indicatorRow < rowCount())
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

QVariant GridModel::rawValue(int row, int position) const
{
    const int field = fieldOf(position);
    if (field < 0 || !m_table || row < 0 || row >= m_table->rowCount())
        return {};
    return m_table->data(m_table->index(row, field), TableObject::RawRole);
}

QString GridModel::displayText(int row, int position) const
{
    const int field = fieldOf(position);
    if (field < 0 || !m_table || row < 0 || row >= m_table->rowCount())
        return {};
    return m_table->displayText(row, field);
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

// ---------------------------------------------------------------------------------------------
// CatalogueProxy

struct CatalogueProxy::Node
{
    Node* parent = nullptr;
    int level = 0; // 0 the root, 1 the outermost groups
    QVariant key;
    QString path; // the group's identity from one arrangement to the next
    std::vector<Node*> children;
    int begin = 0; // rows m_order[begin, end) belong to the group
    int end = 0;
    bool expanded = false;
    quint64 builtIn = 0;
    quint64 shownIn = 0; // the flat list in which row and footerRow are valid
    int row = -1;
    int footerRow = -1;
    mutable quint64 sumsOf = 0;
    mutable QHash<int, double> sums;
};

namespace {

struct Diff
{
    size_t at = 0;
    size_t removed = 0;
    size_t inserted = 0;
};

// Two lists that differ in one stretch: where it is, and how long it is in each.
template <typename T> Diff diffOf(const std::vector<T>& a, const std::vector<T>& b)
{
    Diff d;
    while (d.at < a.size() && d.at < b.size() && a[d.at] == b[d.at])
        ++d.at;
    size_t same = 0;
    while (same < a.size() - d.at && same < b.size() - d.at && a[a.size() - 1 - same] == b[b.size() - 1 - same])
        ++same;
    d.removed = a.size() - d.at - same;
    d.inserted = b.size() - d.at - same;
    return d;
}

quint64 g_buildGeneration = 0;
quint64 g_flattenGeneration = 0;

} // namespace

CatalogueProxy::CatalogueProxy(GridModel* source, const GridDef& definition, QObject* parent)
    : QAbstractTableModel(parent)
    , m_source(source)
    , m_footerSummaries(definition.footerSummaries)
    , m_groupSummaries(definition.groupSummaries)
    , m_groupFooters(definition.groupFooters)
    , m_root(std::make_unique<Node>())
{
    auto positionOf = [&definition](const QString& name) {
        for (int i = 0; i < definition.columns.size(); ++i) {
            if (definition.columns[i].name == name)
                return i;
        }
        return -1;
    };
    for (const QString& link : definition.groupSummaryLinks) {
        if (const int p = positionOf(link); p >= 0)
            m_footerLinks.insert(p);
    }
    for (const QList<GridSummary>* list : {&m_footerSummaries, &m_groupSummaries}) {
        for (const GridSummary& s : *list) {
            const int p = positionOf(s.column);
            if (s.kind == SummaryKind::Sum && p >= 0 && !m_summedColumns.contains(p))
                m_summedColumns.append(p);
        }
    }

    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        beginResetModel();
        m_flat.clear();
        m_rowOfSource.clear();
    });
    connect(source, &QAbstractItemModel::modelReset, this, [this] {
        resetAll();
        endResetModel();
        emit rowsRelaidOut();
        emit summariesChanged();
    });
    connect(source, &QAbstractItemModel::dataChanged, this, &CatalogueProxy::sourceDataChanged);
    connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) { sourceRowsAboutToBeRemoved(first, last); });
    connect(source, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) { sourceRowsRemoved(first, last); });
    connect(source, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { sourceRowsInserted(first, last); });
    connect(source, &QAbstractItemModel::headerDataChanged, this,
            [this](Qt::Orientation orientation, int first, int last) {
                if (orientation == Qt::Horizontal) {
                    emit headerDataChanged(orientation, first, last);
                    return;
                }
                for (int r = first; r <= last; ++r) {
                    if (const int row = rowOf(r); row >= 0)
                        emit headerDataChanged(Qt::Vertical, row, row);
                }
            });
    resetAll();
}

CatalogueProxy::~CatalogueProxy()
{
    qDeleteAll(m_nodes);
    qDeleteAll(m_dead);
}

// --- sorting ---------------------------------------------------------------------------------

void CatalogueProxy::rebuildKeyColumns()
{
    Keys columns = m_groupKeys;
    for (const auto& key : std::as_const(m_sortKeys)) {
        const bool present =
            std::any_of(columns.begin(), columns.end(), [&](const auto& k) { return k.first == key.first; });
        if (!present)
            columns.append(key);
    }
    // Values already read for a column are kept; a new key column reads every row once.
    std::vector<std::vector<QVariant>> keys(columns.size());
    std::vector<std::vector<int>> ranks(columns.size());
    const int n = m_source->rowCount();
    for (int k = 0; k < columns.size(); ++k) {
        int old = -1;
        for (int j = 0; j < m_keyColumns.size(); ++j) {
            if (m_keyColumns[j].first == columns[k].first)
                old = j;
        }
        if (old >= 0) {
            keys[k] = std::move(m_keys[old]);
            ranks[k] = std::move(m_ranks[old]);
            continue;
        }
        keys[k].resize(n);
        for (int r = 0; r < n; ++r)
            keys[k][r] = m_source->rawValue(r, columns[k].first);
    }
    m_keyColumns = columns;
    m_keys = std::move(keys);
    m_ranks = std::move(ranks);
}

void CatalogueProxy::fetchKeys(int row)
{
    forgetRanks();
    for (int k = 0; k < m_keyColumns.size(); ++k)
        m_keys[k][row] = m_source->rawValue(row, m_keyColumns[k].first);
}

bool CatalogueProxy::keysChanged(int row) const
{
    for (int k = 0; k < m_keyColumns.size(); ++k) {
        if (GridCollation::compare(m_keys[k][row], m_source->rawValue(row, m_keyColumns[k].first)) != 0)
            return true;
    }
    return false;
}

bool CatalogueProxy::lessThan(int a, int b) const
{
    for (int k = 0; k < m_keyColumns.size(); ++k) {
        const int c = GridCollation::compare(m_keys[k][a], m_keys[k][b]);
        if (c != 0)
            return m_keyColumns[k].second == Qt::AscendingOrder ? c < 0 : c > 0;
    }
    return a < b; // equal keys keep table order
}

namespace {

bool isEmptyValue(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

const QString* textOf(const QVariant& v)
{
    return v.typeId() == QMetaType::QString ? static_cast<const QString*>(v.constData()) : nullptr;
}

struct ViewHash
{
    size_t operator()(QStringView text) const noexcept { return qHash(text, 0); }
};

// The place of each row's value among all values of a column, equal values alike, nulls first:
// sorting by these compares numbers only. Each distinct value is found by hashing and collated
// once.
std::vector<int> ranksOf(const std::vector<QVariant>& values)
{
    const int n = int(values.size());
    std::vector<int> id(n, -1);
    std::vector<int> firstRow; // per distinct value
    // The views stay valid: values holds the texts while this runs.
    std::unordered_map<QStringView, int, ViewHash> textIds;
    textIds.reserve(n);
    QHash<QString, int> otherIds;
    for (int r = 0; r < n; ++r) {
        const QVariant& v = values[r];
        if (isEmptyValue(v))
            continue;
        if (const QString* text = textOf(v)) {
            id[r] = textIds.try_emplace(QStringView(*text), int(firstRow.size())).first->second;
        } else {
            const QString key =
                QString::number(v.typeId()) + QLatin1Char(':') +
                (v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 17) : v.toString());
            id[r] = otherIds.insert(key, otherIds.value(key, int(firstRow.size()))).value();
        }
        if (id[r] == int(firstRow.size()))
            firstRow.push_back(r);
    }

    const int distinct = int(firstRow.size());
    std::vector<QString> letters(distinct);
    for (int i = 0; i < distinct; ++i) {
        if (const QString* text = textOf(values[firstRow[i]]))
            letters[i] = GridCollation::primaryKey(*text);
    }
    // Folded letters compare fast; only texts with equal letters need the full collation.
    auto compare = [&](int a, int b) {
        if (textOf(values[firstRow[a]]) && textOf(values[firstRow[b]])) {
            if (const int c = QStringView(letters[a]).compare(QStringView(letters[b])))
                return c;
        }
        return GridCollation::compare(values[firstRow[a]], values[firstRow[b]]);
    };
    std::vector<int> order(distinct);
    for (int i = 0; i < distinct; ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](int a, int b) { return compare(a, b) < 0; });
    std::vector<int> rankOfId(distinct);
    int rank = -1;
    for (int i = 0; i < distinct; ++i) {
        if (i == 0 || compare(order[i - 1], order[i]) != 0)
            ++rank;
        rankOfId[order[i]] = rank;
    }
    for (int r = 0; r < n; ++r)
        id[r] = id[r] < 0 ? -1 : rankOfId[id[r]];
    return id;
}

} // namespace

void CatalogueProxy::forgetRanks()
{
    for (auto& ranks : m_ranks)
        ranks.clear();
}

void CatalogueProxy::sortAll()
{
    const int n = m_source->rowCount();
    m_sorted.clear();
    m_sorted.reserve(n);
    for (int r = 0; r < n; ++r) {
        if (r != m_pendingRow)
            m_sorted.push_back(r);
    }
    if (m_keyColumns.isEmpty())
        return;
    // The same order as lessThan(), which places single records later. The first two columns'
    // places make one number, so that most comparisons look at nothing else.
    std::vector<const std::vector<int>*> ranks;
    std::vector<bool> ascending;
    for (int k = 0; k < m_keyColumns.size(); ++k) {
        if (int(m_ranks[k].size()) != n)
            m_ranks[k] = ranksOf(m_keys[k]);
        ranks.push_back(&m_ranks[k]);
        ascending.push_back(m_keyColumns[k].second == Qt::AscendingOrder);
    }
    auto place = [&](size_t k, int row) -> quint64 {
        const qint64 rank = qint64((*ranks[k])[row]) + 1; // empty values rank -1
        return quint64(ascending[k] ? rank : qint64(n) + 1 - rank);
    };
    struct Item
    {
        quint64 key;
        int row;
    };
    std::vector<Item> items;
    items.reserve(m_sorted.size());
    for (int row : m_sorted)
        items.push_back({(place(0, row) << 32) | (ranks.size() > 1 ? place(1, row) : 0), row});
    std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        if (a.key != b.key)
            return a.key < b.key;
        for (size_t k = 2; k < ranks.size(); ++k) {
            const quint64 x = place(k, a.row);
            const quint64 y = place(k, b.row);
            if (x != y)
                return x < y;
        }
        return a.row < b.row;
    });
    for (size_t i = 0; i < items.size(); ++i)
        m_sorted[i] = items[i].row;
}

std::vector<int>::iterator CatalogueProxy::findSorted(std::vector<int>& rows, int row)
{
    auto it = std::lower_bound(rows.begin(), rows.end(), row, [this](int a, int b) { return lessThan(a, b); });
    if (it != rows.end() && *it == row)
        return it;
    return std::find(rows.begin(), rows.end(), row);
}

void CatalogueProxy::insertSorted(std::vector<int>& rows, int row)
{
    auto it = std::lower_bound(rows.begin(), rows.end(), row, [this](int a, int b) { return lessThan(a, b); });
    rows.insert(it, row);
}

void CatalogueProxy::setSortKeys(const Keys& keys)
{
    if (keys == m_sortKeys)
        return;
    relayout([&] {
        m_sortKeys = keys;
        rebuildKeyColumns();
        sortAll();
        rebuildOrder();
    });
}

void CatalogueProxy::setGroupKeys(const Keys& keys)
{
    if (keys == m_groupKeys)
        return;
    relayout([&] {
        m_groupKeys = keys;
        rebuildKeyColumns();
        sortAll();
        rebuildOrder();
    });
}

// --- filtering -------------------------------------------------------------------------------

bool CatalogueProxy::accepts(int row) const
{
    for (auto it = m_filters.cbegin(); it != m_filters.cend(); ++it) {
        if (!it.value().matches(m_source->displayText(row, it.key())))
            return false;
    }
    return true;
}

void CatalogueProxy::refilter(bool onlyAccepted)
{
    const int n = int(m_accepted.size());
    for (int r = 0; r < n; ++r) {
        if (!onlyAccepted || m_accepted[r])
            m_accepted[r] = accepts(r);
    }
}

void CatalogueProxy::rebuildOrder()
{
    m_order.clear();
    m_order.reserve(m_sorted.size());
    for (int r : m_sorted) {
        if (m_accepted[r])
            m_order.push_back(r);
    }
}

void CatalogueProxy::setFilter(int position, const QString& text)
{
    const GridFilter next(text);
    const GridFilter previous = m_filters.value(position);
    if (next.text() == previous.text())
        return;
    // A longer text of the same kind only takes rows away: the rows it hid stay hidden.
    const bool narrowing = next.narrows(previous);
    relayout([&] {
        if (next.isEmpty())
            m_filters.remove(position);
        else
            m_filters.insert(position, next);
        refilter(narrowing);
        rebuildOrder();
    });
}

QString CatalogueProxy::filter(int position) const
{
    return m_filters.value(position).text();
}

// --- groups and the flat list ----------------------------------------------------------------

QString CatalogueProxy::pathSegment(int level, const QVariant& key) const
{
    QString segment = QLatin1Char('\x1f') + QString::number(m_groupKeys[level - 1].first) + QLatin1Char(':');
    if (!key.isValid() || key.isNull())
        return segment + QLatin1Char('-');
    if (key.typeId() == QMetaType::QString)
        return segment + QLatin1Char('s') + key.toString();
    return segment + QLatin1Char('n') + QString::number(key.typeId()) + QLatin1Char(':') + key.toString();
}

void CatalogueProxy::buildTree()
{
    const quint64 generation = ++g_buildGeneration;
    m_root->children.clear();
    m_root->begin = 0;
    m_root->end = int(m_order.size());
    m_root->builtIn = generation;
    if (!m_groupKeys.isEmpty())
        buildLevel(m_root.get(), 1, 0, int(m_order.size()));
    for (auto it = m_nodes.begin(); it != m_nodes.end();) {
        if (it.value()->builtIn != generation) {
            m_dead.push_back(it.value());
            it = m_nodes.erase(it);
        } else {
            ++it;
        }
    }
}

void CatalogueProxy::buildLevel(Node* parent, int level, int begin, int end)
{
    const std::vector<QVariant>& keys = m_keys[level - 1];
    const bool innermost = level == m_groupKeys.size();
    int i = begin;
    while (i < end) {
        const QVariant& key = keys[m_order[i]];
        int j = i + 1;
        while (j < end && GridCollation::compare(keys[m_order[j]], key) == 0)
            ++j;
        const QString path = parent->path + pathSegment(level, key);
        Node*& node = m_nodes[path];
        if (!node) {
            node = new Node;
            node->path = path;
            node->expanded = m_expanded.contains(path);
        }
        node->parent = parent;
        node->level = level;
        node->key = key;
        node->begin = i;
        node->end = j;
        node->builtIn = g_buildGeneration;
        node->children.clear();
        parent->children.push_back(node);
        if (!innermost)
            buildLevel(node, level + 1, i, j);
        i = j;
    }
}

bool CatalogueProxy::hasFooter(const Node* node) const
{
    if (m_groupFooters == GroupFooterMode::Hidden || m_groupSummaries.isEmpty() || node->level < 1)
        return false;
    return m_footerLinks.isEmpty() || m_footerLinks.contains(m_groupKeys[node->level - 1].first);
}

std::vector<CatalogueProxy::Entry> CatalogueProxy::flatten()
{
    ++g_flattenGeneration;
    std::vector<Entry> out;
    out.reserve(m_flat.size() + 16);
    if (m_groupKeys.isEmpty()) {
        for (int r : m_order)
            out.push_back({RowKind::Data, r, nullptr});
    } else {
        flattenNode(m_root.get(), out);
    }
    if (m_pendingRow >= 0)
        out.push_back({RowKind::Data, m_pendingRow, nullptr});
    return out;
}

void CatalogueProxy::flattenNode(const Node* node, std::vector<Entry>& out)
{
    const int depth = int(m_groupKeys.size());
    for (Node* child : node->children) {
        child->shownIn = g_flattenGeneration;
        child->row = int(out.size());
        child->footerRow = -1;
        out.push_back({RowKind::Group, -1, child});
        if (child->expanded) {
            if (child->level == depth) {
                for (int i = child->begin; i < child->end; ++i)
                    out.push_back({RowKind::Data, m_order[i], nullptr});
            } else {
                flattenNode(child, out);
            }
        }
        if (hasFooter(child) && (child->expanded || m_groupFooters == GroupFooterMode::Always)) {
            child->footerRow = int(out.size());
            out.push_back({RowKind::GroupFooter, -1, child});
        }
    }
}

void CatalogueProxy::indexSources()
{
    m_rowOfSource.assign(m_source->rowCount(), -1);
    for (size_t i = 0; i < m_flat.size(); ++i) {
        const Entry& e = m_flat[i];
        if (e.kind == RowKind::Data && e.row >= 0 && e.row < int(m_rowOfSource.size()))
            m_rowOfSource[e.row] = int(i);
    }
}

void CatalogueProxy::dropDeadNodes()
{
    for (Node* node : m_dead)
        delete node;
    m_dead.clear();
}

// Makes the shown rows those of target, which differs from them in one stretch: a record that
// went away, a group that opened. Everything else keeps its place.
void CatalogueProxy::apply(const std::vector<Entry>& target)
{
    const Diff d = diffOf(m_flat, target);
    if (d.removed > 0) {
        beginRemoveRows({}, int(d.at), int(d.at + d.removed - 1));
        m_flat.erase(m_flat.begin() + d.at, m_flat.begin() + d.at + d.removed);
        indexSources();
        endRemoveRows();
    }
    if (d.inserted > 0) {
        beginInsertRows({}, int(d.at), int(d.at + d.inserted - 1));
        m_flat.insert(m_flat.begin() + d.at, target.begin() + d.at, target.begin() + d.at + d.inserted);
        indexSources();
        endInsertRows();
        const auto added = m_flat.begin() + d.at;
        if (std::any_of(added, added + d.inserted, [](const Entry& e) { return e.kind == RowKind::Group; }))
            emit groupRowsInserted(int(d.at), int(d.at + d.inserted - 1));
    }
}

void CatalogueProxy::publish()
{
    apply(flatten());
    afterChange();
}

void CatalogueProxy::afterChange()
{
    dropDeadNodes();
    ++m_sumGeneration;
    // Counts of the groups around the change are shown in group rows and footers.
    if (!m_groupKeys.isEmpty() && !m_flat.empty())
        emit dataChanged(index(0, 0), index(int(m_flat.size()) - 1, columnCount() - 1));
    emit summariesChanged();
}

// Rearranges every row at once, keeping the rows that the view remembers (selection, current
// row) on the records and groups they showed.
void CatalogueProxy::relayout(const std::function<void()>& change)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<Entry> remembered;
    remembered.reserve(before.size());
    for (const QModelIndex& index : before)
        remembered.push_back(index.row() >= 0 && index.row() < int(m_flat.size()) ? m_flat[index.row()] : Entry{});

    change();
    buildTree();
    m_flat = flatten();
    indexSources();

    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i) {
        const Entry& e = remembered[i];
        int row = -1;
        if (e.kind == RowKind::Data)
            row = rowOf(e.row);
        else if (e.node && e.node->builtIn == g_buildGeneration && e.node->shownIn == g_flattenGeneration)
            row = e.kind == RowKind::Group ? e.node->row : e.node->footerRow;
        after.append(row >= 0 ? index(row, before[i].column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    ++m_sumGeneration;
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    dropDeadNodes();
    emit rowsRelaidOut();
    emit summariesChanged();
}

bool CatalogueProxy::isPending(int row) const
{
    const TableObject* table = m_source->table();
    return table && table->state() == TableObject::State::Insert && row == table->recNo();
}

void CatalogueProxy::takeOut(int row)
{
    if (row == m_pendingRow) {
        m_pendingRow = -1;
        return;
    }
    if (auto it = findSorted(m_sorted, row); it != m_sorted.end())
        m_sorted.erase(it);
    if (m_accepted[row]) {
        if (auto it = findSorted(m_order, row); it != m_order.end())
            m_order.erase(it);
    }
}

void CatalogueProxy::putIn(int row)
{
    if (isPending(row)) {
        m_pendingRow = row;
        return;
    }
    insertSorted(m_sorted, row);
    if (m_accepted[row])
        insertSorted(m_order, row);
}

// A record changed: its cells show the new values; where its sort, group or filter values
// changed, it moves to its new place, or comes or goes.
void CatalogueProxy::changeRecord(int row)
{
    const TableObject* table = m_source->table();
    const bool editing = table && table->recNo() == row &&
                         (table->state() == TableObject::State::Edit || table->state() == TableObject::State::Insert);
    const bool wasPending = row == m_pendingRow;
    auto showCells = [this, row] {
        if (const int r = rowOf(row); r >= 0)
            emit dataChanged(index(r, 0), index(r, columnCount() - 1));
    };
    if (m_suspended > 0 && !wasPending) {
        m_dirty.insert(row);
        showCells();
        return;
    }
    // A record being edited keeps its place until it is posted.
    if (editing) {
        showCells();
        return;
    }
    const bool accept = accepts(row);
    if (!wasPending && accept == bool(m_accepted[row]) && !keysChanged(row)) {
        showCells();
        if (!m_summedColumns.isEmpty()) {
            ++m_sumGeneration;
            if (!m_groupKeys.isEmpty())
                emit dataChanged(index(0, 0), index(int(m_flat.size()) - 1, columnCount() - 1));
            emit summariesChanged();
        }
        return;
    }

    takeOut(row);
    buildTree();
    std::vector<Entry> middle = flatten();
    fetchKeys(row);
    m_accepted[row] = accept;
    putIn(row);
    buildTree();
    std::vector<Entry> next = flatten();

    const Diff out = diffOf(m_flat, middle);
    const Diff in = diffOf(middle, next);
    const Entry moved{RowKind::Data, row, nullptr};
    if (out.removed == 1 && out.inserted == 0 && in.inserted == 1 && in.removed == 0 && m_flat[out.at] == moved &&
        next[in.at] == moved) {
        // One row changes place: a move keeps it selected and current.
        if (in.at != out.at) {
            const int destination = in.at > out.at ? int(in.at) + 1 : int(in.at);
            beginMoveRows({}, int(out.at), int(out.at), {}, destination);
            m_flat = std::move(next);
            indexSources();
            endMoveRows();
        } else {
            m_flat = std::move(next);
        }
        showCells();
        afterChange();
        return;
    }
    apply(middle);
    apply(next);
    afterChange();
}

void CatalogueProxy::suspend()
{
    ++m_suspended;
}

void CatalogueProxy::resume()
{
    if (m_suspended == 0 || --m_suspended > 0 || m_dirty.isEmpty())
        return;
    QList<int> rows = m_dirty.values();
    m_dirty.clear();
    if (rows.size() <= 8) {
        std::sort(rows.begin(), rows.end());
        for (int row : std::as_const(rows))
            changeRecord(row);
        return;
    }
    // Many changed records: one rearrangement. They leave the order by their old values and come
    // back by their new ones.
    relayout([&] {
        std::vector<char> dirty(m_accepted.size(), 0);
        std::vector<int> moved;
        for (int row : std::as_const(rows)) {
            if (row < 0 || row >= int(dirty.size()) || row == m_pendingRow)
                continue;
            dirty[row] = 1;
            moved.push_back(row);
        }
        m_sorted.erase(std::remove_if(m_sorted.begin(), m_sorted.end(), [&](int r) { return dirty[r] != 0; }),
                       m_sorted.end());
        for (int row : moved) {
            fetchKeys(row);
            m_accepted[row] = accepts(row);
        }
        std::sort(moved.begin(), moved.end(), [this](int a, int b) { return lessThan(a, b); });
        const auto middle = m_sorted.insert(m_sorted.end(), moved.begin(), moved.end());
        std::inplace_merge(m_sorted.begin(), middle, m_sorted.end(), [this](int a, int b) { return lessThan(a, b); });
        rebuildOrder();
    });
}

void CatalogueProxy::setExpanded(int row, bool expanded)
{
    if (kind(row) != RowKind::Group)
        return;
    Node* node = m_flat[row].node;
    if (node->expanded == expanded)
        return;
    node->expanded = expanded;
    if (expanded)
        m_expanded.insert(node->path);
    else
        m_expanded.remove(node->path);
    publish();
}

void CatalogueProxy::setAllExpanded(bool expanded)
{
    if (m_groupKeys.isEmpty())
        return;
    relayout([&] {
        if (!expanded)
            m_expanded.clear();
        for (Node* node : std::as_const(m_nodes)) {
            node->expanded = expanded;
            if (expanded)
                m_expanded.insert(node->path);
        }
    });
}

// --- source signals --------------------------------------------------------------------------

void CatalogueProxy::resetAll()
{
    const int n = m_source->rowCount();
    m_flat.clear();
    m_dirty.clear();
    m_keyColumns.clear();
    m_keys.clear();
    m_ranks.clear();
    m_accepted.assign(n, 1);
    m_pendingRow = -1;
    for (int r = 0; r < n; ++r) {
        if (isPending(r))
            m_pendingRow = r;
    }
    rebuildKeyColumns();
    refilter(false);
    sortAll();
    rebuildOrder();
    buildTree();
    m_flat = flatten();
    indexSources();
    dropDeadNodes();
    ++m_sumGeneration;
}

void CatalogueProxy::sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    const int first = topLeft.column();
    const int last = bottomRight.column();
    auto inRange = [&](int position) { return position >= first && position <= last; };
    bool placing =
        std::any_of(m_keyColumns.begin(), m_keyColumns.end(), [&](const auto& k) { return inRange(k.first); });
    for (auto it = m_filters.cbegin(); !placing && it != m_filters.cend(); ++it)
        placing = inRange(it.key());
    const bool summed = std::any_of(m_summedColumns.begin(), m_summedColumns.end(), inRange);
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        if (placing || summed || row == m_pendingRow) {
            changeRecord(row);
        } else if (const int r = rowOf(row); r >= 0) {
            emit dataChanged(index(r, first), index(r, last));
        }
    }
}

void CatalogueProxy::shiftRows(int from, int by)
{
    auto shift = [&](int& row) {
        if (row >= from)
            row += by;
    };
    for (int& r : m_sorted)
        shift(r);
    for (int& r : m_order)
        shift(r);
    for (Entry& e : m_flat) {
        if (e.kind == RowKind::Data)
            shift(e.row);
    }
    if (m_pendingRow >= 0)
        shift(m_pendingRow);
    QSet<int> dirty;
    for (int r : std::as_const(m_dirty)) {
        shift(r);
        dirty.insert(r);
    }
    m_dirty = dirty;
}

void CatalogueProxy::sourceRowsInserted(int first, int last)
{
    const int count = last - first + 1;
    forgetRanks();
    shiftRows(first, count);
    for (auto& keys : m_keys)
        keys.insert(keys.begin() + first, count, QVariant());
    m_accepted.insert(m_accepted.begin() + first, count, 1);
    for (int row = first; row <= last; ++row) {
        fetchKeys(row);
        m_accepted[row] = accepts(row);
        putIn(row);
        buildTree();
        publish();
    }
}

void CatalogueProxy::sourceRowsAboutToBeRemoved(int first, int last)
{
    for (int row = last; row >= first; --row) {
        m_dirty.remove(row);
        takeOut(row);
        buildTree();
        publish();
    }
}

void CatalogueProxy::sourceRowsRemoved(int first, int last)
{
    const int count = last - first + 1;
    forgetRanks();
    for (auto& keys : m_keys)
        keys.erase(keys.begin() + first, keys.begin() + first + count);
    m_accepted.erase(m_accepted.begin() + first, m_accepted.begin() + first + count);
    shiftRows(last + 1, -count);
    indexSources();
}

// --- rows ------------------------------------------------------------------------------------

CatalogueProxy::RowKind CatalogueProxy::kind(int row) const
{
    return row >= 0 && row < int(m_flat.size()) ? m_flat[row].kind : RowKind::Data;
}

int CatalogueProxy::level(int row) const
{
    if (row < 0 || row >= int(m_flat.size()))
        return 0;
    const Entry& e = m_flat[row];
    return e.node ? e.node->level : int(m_groupKeys.size());
}

bool CatalogueProxy::isExpanded(int row) const
{
    return kind(row) == RowKind::Group && m_flat[row].node->expanded;
}

int CatalogueProxy::sourceRow(int row) const
{
    if (row < 0 || row >= int(m_flat.size()) || m_flat[row].kind != RowKind::Data)
        return -1;
    return m_flat[row].row;
}

int CatalogueProxy::rowOf(int sourceRow) const
{
    return sourceRow >= 0 && sourceRow < int(m_rowOfSource.size()) ? m_rowOfSource[sourceRow] : -1;
}

QModelIndex CatalogueProxy::mapToSource(const QModelIndex& index) const
{
    const int row = sourceRow(index.row());
    return row < 0 ? QModelIndex() : m_source->index(row, index.column());
}

QModelIndex CatalogueProxy::mapFromSource(const QModelIndex& sourceIndex) const
{
    const int row = rowOf(sourceIndex.row());
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QList<int> CatalogueProxy::dataRows() const
{
    QList<int> rows;
    rows.reserve(int(m_flat.size()));
    for (const Entry& e : m_flat) {
        if (e.kind == RowKind::Data)
            rows.append(e.row);
    }
    return rows;
}

// --- summaries -------------------------------------------------------------------------------

double CatalogueProxy::sumOf(int position, int begin, int end) const
{
    double sum = 0;
    for (int i = begin; i < end; ++i) {
        const QVariant v = m_source->rawValue(m_order[i], position);
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok)
            sum += d;
    }
    return sum;
}

QString CatalogueProxy::summaryText(const QList<GridSummary>& summaries, int position, const Node* node) const
{
    const GridColumnObject* column = m_source->column(position);
    if (!column)
        return {};
    const QLocale locale;
    QStringList parts;
    for (const GridSummary& s : summaries) {
        if (s.column != column->objectName())
            continue;
        if (s.kind == SummaryKind::Count) {
            parts.append(tr("Anzahl: %1").arg(locale.toString(node->end - node->begin)));
            continue;
        }
        if (node->sumsOf != m_sumGeneration) {
            node->sums.clear();
            node->sumsOf = m_sumGeneration;
        }
        auto it = node->sums.find(position);
        if (it == node->sums.end())
            it = node->sums.insert(position, sumOf(position, node->begin, node->end));
        const double sum = it.value();
        const bool whole = sum == std::floor(sum) && std::fabs(sum) < 1e15;
        parts.append(tr("Summe: %1").arg(whole ? locale.toString(qint64(sum)) : locale.toString(sum, 'f', 2)));
    }
    return parts.join(QLatin1String("  "));
}

QString CatalogueProxy::footerText(int position) const
{
    return summaryText(m_footerSummaries, position, m_root.get());
}

QString CatalogueProxy::groupText(const Node* node) const
{
    const int position = m_groupKeys[node->level - 1].first;
    const GridColumnObject* column = m_source->column(position);
    QString value = node->begin < node->end ? m_source->displayText(m_order[node->begin], position) : QString();
    if (value.isEmpty())
        value = tr("(leer)");
    return (column ? column->caption() : QString()) + QLatin1String(" : ") + value;
}

// --- model -----------------------------------------------------------------------------------

int CatalogueProxy::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_flat.size());
}

int CatalogueProxy::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_source->columnCount();
}

QVariant CatalogueProxy::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_flat.size()))
        return {};
    const Entry& e = m_flat[index.row()];
    if (role == RowKindRole)
        return int(e.kind);
    if (role == LevelRole)
        return e.node ? e.node->level : int(m_groupKeys.size());
    switch (e.kind) {
    case RowKind::Data:
        return m_source->data(m_source->index(e.row, index.column()), role);
    case RowKind::Group:
        if (role == ExpandedRole)
            return e.node->expanded;
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return index.column() == 0 ? groupText(e.node) : QString();
        return {};
    case RowKind::GroupFooter:
        if (role == Qt::DisplayRole)
            return summaryText(m_groupSummaries, index.column(), e.node);
        return {};
    }
    return {};
}

Qt::ItemFlags CatalogueProxy::flags(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= int(m_flat.size()))
        return Qt::NoItemFlags;
    const Entry& e = m_flat[index.row()];
    if (e.kind != RowKind::Data)
        return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    return m_source->flags(m_source->index(e.row, index.column()));
}

QVariant CatalogueProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal)
        return m_source->headerData(section, orientation, role);
    const int row = sourceRow(section);
    if (row >= 0)
        return m_source->headerData(row, orientation, role);
    if (role == Qt::DisplayRole)
        return QString();
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}
