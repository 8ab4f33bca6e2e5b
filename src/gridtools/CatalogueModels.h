#pragma once

#include "data/TableObject.h"
#include "gridtools/GridColumn.h"
#include "gridtools/GridFilter.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <QSet>

#include <functional>
#include <memory>
#include <vector>

// The grid's columns over a table object: column i is the design's column i, headed by its
// caption. The vertical header is the row indicator.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    GridModel(TableObject* table, QList<GridColumnObject*> columns, QObject* parent = nullptr);

    TableObject* table() const { return m_table; }
    GridColumnObject* column(int position) const { return m_columns.value(position); }
    int fieldOf(int position) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The stored value and the shown text of one cell, without going through model indexes.
    QVariant rawValue(int row, int position) const;
    QString displayText(int row, int position) const;

private:
    void connectTable();
    void currentMoved(int row);

    QPointer<TableObject> m_table;
    QList<GridColumnObject*> m_columns;
    int m_indicatorRow = -1;
};

// What the grid shows of its model: the rows that pass the filter row, sorted, and, while the
// grid is grouped, arranged under group rows that expand and collapse, with group footers.
// The result is one flat list of rows, each a data row, a group row or a group footer.
//
// A changed record moves, appears or disappears with row signals of its own; sorting, grouping
// and a changed filter rearrange the rows in one layout change that keeps selected and current
// rows. Between suspend() and resume() changed records only update their cells; their new places
// are found once at resume().
class CatalogueProxy : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class RowKind
    {
        Data,
        Group,
        GroupFooter,
    };
    static constexpr int RowKindRole = Qt::UserRole + 20;  // RowKind as int
    static constexpr int LevelRole = Qt::UserRole + 21;    // a group's level, 1 the outermost
    static constexpr int ExpandedRole = Qt::UserRole + 22; // bool, group rows

    using Keys = QList<QPair<int, Qt::SortOrder>>; // column positions, outermost first

    CatalogueProxy(GridModel* source, const GridDef& definition, QObject* parent = nullptr);
    ~CatalogueProxy() override;

    GridModel* gridModel() const { return m_source; }

    void setSortKeys(const Keys& keys);
    const Keys& sortKeys() const { return m_sortKeys; }
    void setGroupKeys(const Keys& keys);
    const Keys& groupKeys() const { return m_groupKeys; }
    void setFilter(int position, const QString& text);
    QString filter(int position) const;
    bool hasFilter() const { return !m_filters.isEmpty(); }

    RowKind kind(int row) const;
    int level(int row) const;
    bool isExpanded(int row) const;
    void setExpanded(int row, bool expanded);
    void setAllExpanded(bool expanded);

    // Source row of a data row, -1 for others; the row showing a source row, -1 when not shown.
    int sourceRow(int row) const;
    int rowOf(int sourceRow) const;
    QModelIndex mapToSource(const QModelIndex& index) const;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const;
    // Source rows of the data rows shown, top to bottom.
    QList<int> dataRows() const;
    // Data rows that pass the filter, collapsed ones included.
    int filteredCount() const { return int(m_order.size()); }

    // The footer row's text in a column: its summaries over all rows that pass the filter.
    QString footerText(int position) const;

    void suspend();
    void resume();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // The footer's figures may have changed.
    void summariesChanged();
    // Group rows appeared in a range of rows, or everything was laid out anew.
    void groupRowsInserted(int first, int last);
    void rowsRelaidOut();

private:
    struct Node;
    struct Entry
    {
        RowKind kind = RowKind::Data;
        int row = -1;         // data rows
        Node* node = nullptr; // group rows and group footers
        bool operator==(const Entry& other) const
        {
            return kind == other.kind && row == other.row && node == other.node;
        }
    };

    // Sorting and grouping
    void rebuildKeyColumns();
    void fetchKeys(int row);
    void forgetRanks();
    bool keysChanged(int row) const;
    bool lessThan(int a, int b) const;
    void sortAll();
    std::vector<int>::iterator findSorted(std::vector<int>& rows, int row);
    void insertSorted(std::vector<int>& rows, int row);

    // Filtering
    bool accepts(int row) const;
    void refilter(bool onlyAccepted);
    void rebuildOrder();

    // Groups and the flat list
    void buildTree();
    void buildLevel(Node* parent, int level, int begin, int end);
    QString pathSegment(int level, const QVariant& key) const;
    bool hasFooter(const Node* node) const;
    std::vector<Entry> flatten();
    void flattenNode(const Node* node, std::vector<Entry>& out);
    void indexSources();
    void apply(const std::vector<Entry>& target);
    void publish();
    void afterChange();
    void relayout(const std::function<void()>& change);
    void dropDeadNodes();
    void changeRecord(int row);
    void takeOut(int row);
    void putIn(int row);
    bool isPending(int row) const;

    // Source signals
    void sourceReset();
    void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void sourceRowsAboutToBeRemoved(int first, int last);
    void sourceRowsRemoved(int first, int last);
    void sourceRowsInserted(int first, int last);
    void shiftRows(int from, int by);
    void resetAll();

    // Summaries
    QString summaryText(const QList<GridSummary>& summaries, int position, const Node* node) const;
    double sumOf(int position, int begin, int end) const;
    QString groupText(const Node* node) const;

    GridModel* m_source;
    QList<GridSummary> m_footerSummaries;
    QList<GridSummary> m_groupSummaries;
    QSet<int> m_footerLinks; // positions; empty: every grouping column
    GroupFooterMode m_groupFooters;
    QList<int> m_summedColumns;

    Keys m_sortKeys;
    Keys m_groupKeys;
    Keys m_keyColumns;                         // group keys, then sort keys
    std::vector<std::vector<QVariant>> m_keys; // per key column, per source row: the value sorted by
    std::vector<std::vector<int>> m_ranks;     // per key column: each row's place, empty when unknown
    QHash<int, GridFilter> m_filters;

    std::vector<int> m_sorted;    // every placed source row, in order
    std::vector<char> m_accepted; // per source row: passes the filters
    std::vector<int> m_order;     // the placed rows that pass, in order
    int m_pendingRow = -1;        // a record being inserted: shown last until it is posted

    std::unique_ptr<Node> m_root;
    QHash<QString, Node*> m_nodes; // by path
    QSet<QString> m_expanded;      // paths of expanded groups
    std::vector<Node*> m_dead;

    std::vector<Entry> m_flat;
    std::vector<int> m_rowOfSource;

    int m_suspended = 0;
    QSet<int> m_dirty;
    mutable quint64 m_sumGeneration = 1;
};
