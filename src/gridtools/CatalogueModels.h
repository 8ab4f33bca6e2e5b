#pragma once

#include "data/TableObject.h"
#include "gridtools/GridColumn.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QSortFilterProxyModel>

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

private:
    void connectTable();
    void currentMoved(int row);

    QPointer<TableObject> m_table;
    QList<GridColumnObject*> m_columns;
    int m_indicatorRow = -1;
};

// Sorting by several columns, each ascending or descending, on the stored values.
class CatalogueProxy : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit CatalogueProxy(QObject* parent = nullptr);

    void setSortKeys(const QList<QPair<int, Qt::SortOrder>>& keys); // grid column positions
    const QList<QPair<int, Qt::SortOrder>>& sortKeys() const { return m_keys; }

    static int compareValues(const QVariant& left, const QVariant& right);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QList<QPair<int, Qt::SortOrder>> m_keys;
};
