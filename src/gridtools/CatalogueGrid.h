#pragma once

#include "gridtools/GridColumn.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>

class CatalogueProxy;
class DataSource;
class GridModel;
class NavigatorBar;
class QLabel;
class QTableView;
class TableObject;

// The one grid of the program: a table object's records in design columns, sorted, with
// in-place editors, multi-select, a row indicator, an optional navigator bar, and the grid's
// current row kept in step with the table's current record.
class CatalogueGrid : public QWidget
{
    Q_OBJECT

public:
    CatalogueGrid(const GridDef& definition, DataSource* source, QWidget* parent = nullptr);

    const GridDef& definition() const { return m_def; }
    QTableView* view() const { return m_view; }
    TableObject* table() const { return m_table; }
    GridModel* gridModel() const { return m_model; }
    CatalogueProxy* proxy() const { return m_proxy; }
    NavigatorBar* navigatorBar() const { return m_navigator; }

    GridColumnObject* column(const QString& name) const;
    QList<GridColumnObject*> columns() const { return m_columns; }

    // Source rows (table order positions) of the data rows shown, top to bottom.
    QList<int> visibleRows() const;
    // Source rows of the selected data rows, top to bottom.
    QList<int> selectedRows() const;

    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }
    QMenu* contextMenu() const { return m_contextMenu; }

    void setSortKeys(const QList<GridSortKey>& keys);
    QList<GridSortKey> sortKeys() const;

    void setMultiSelect(bool on);
    bool multiSelect() const;
    void setRowIndicatorVisible(bool on);
    void setGroupingPanelVisible(bool on);
    void setColumnsFitWidth(bool on);

    // Suspends repainting until the matching endUpdate.
    void beginUpdate();
    void endUpdate();

signals:
    void cellClicked(int sourceRow, const QString& columnName);
    void keyPressed(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void commit(int sourceRow, int position, const QVariant& value);
    void followTable(int row);
    void gridRowChanged(int proxyRow);
    void headerClicked(int section);

    GridDef m_def;
    TableObject* m_table;
    QList<GridColumnObject*> m_columns;
    GridModel* m_model;
    CatalogueProxy* m_proxy;
    QTableView* m_view;
    QLabel* m_groupPanel;
    NavigatorBar* m_navigator = nullptr;
    QPointer<QMenu> m_contextMenu;
    bool m_syncing = false;
    int m_updateDepth = 0;
};
