#pragma once

#include "gridtools/GridColumn.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>

class CatalogueDelegate;
class CatalogueProxy;
class ColumnChooser;
class DataSource;
class FilterHeader;
class FooterBar;
class GridModel;
class GroupingPanel;
class NavigatorBar;
class QTableView;
class TableObject;
namespace GridDrag {
struct Payload;
}

// The one grid of the program: a table object's records in design columns, with a filter row
// under the column header, sorting by one or more columns, grouping by columns dragged into the
// grouping panel, group and footer summaries, in-place editors, multi-select, a row indicator,
// a column chooser, an optional navigator bar, and the grid's current row kept in step with the
// table's current record.
class CatalogueGrid : public QWidget
{
    Q_OBJECT

public:
    CatalogueGrid(const GridDef& definition, DataSource* source, QWidget* parent = nullptr);
    ~CatalogueGrid() override;

    const GridDef& definition() const { return m_def; }
    QTableView* view() const { return m_view; }
    TableObject* table() const { return m_table; }
    GridModel* gridModel() const { return m_model; }
    CatalogueProxy* proxy() const { return m_proxy; }
    NavigatorBar* navigatorBar() const { return m_navigator; }
    FilterHeader* header() const { return m_header; }
    GroupingPanel* groupingPanel() const { return m_groupPanel; }
    FooterBar* footerBar() const { return m_footer; }

    GridColumnObject* column(const QString& name) const;
    QList<GridColumnObject*> columns() const { return m_columns; }

    // Source rows (table order positions) of the data rows shown, top to bottom: group rows are
    // not among them, nor the rows of collapsed groups.
    QList<int> visibleRows() const;
    // Source rows of the selected data rows, top to bottom.
    QList<int> selectedRows() const;
    // A record's value in a column, shown or hidden.
    QVariant value(int sourceRow, const QString& column) const;

    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }
    QMenu* contextMenu() const { return m_contextMenu; }

    // Sorting within the groups; a click on a header sorts by that column, Shift+click adds it.
    void setSortKeys(const QList<GridSortKey>& keys);
    QList<GridSortKey> sortKeys() const;

    // Grouping, outermost level first.
    void setGroupKeys(const QList<GridSortKey>& groups);
    QList<GridSortKey> groupKeys() const;
    void groupBy(const QString& column, int level = -1);
    void ungroup(const QString& column);
    void setAllExpanded(bool expanded);

    // The filter row: a row is shown when it passes the text of every column.
    void setFilterText(const QString& column, const QString& text);
    QString filterText(const QString& column) const;

    // The footer row's text under a column; empty where the column has no summary.
    QString footerText(const QString& column) const;

    void setMultiSelect(bool on);
    bool multiSelect() const;
    void setRowIndicatorVisible(bool on);
    bool rowIndicatorVisible() const;
    void setGroupingPanelVisible(bool on);
    bool groupingPanelVisible() const;
    void setColumnsFitWidth(bool on);
    bool columnsFitWidth() const;
    void setFooterVisible(bool on);
    bool footerVisible() const;
    // The platform's own look for header and cells, or the grids' flat one.
    void setNativeStyle(bool on);
    bool nativeStyle() const { return m_nativeStyle; }

    // The column chooser, made on first use.
    ColumnChooser* columnChooser();
    void showColumnChooser();

    // Suspends repainting until the matching endUpdate. Records changed in between take their
    // new places in sort order, groups and filter at the end.
    void beginUpdate();
    void endUpdate();

signals:
    void cellClicked(int sourceRow, const QString& columnName);
    void keyPressed(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void commit(int sourceRow, int position, const QVariant& value);
    void followTable(int row);
    void gridRowChanged(int proxyRow);
    void headerClicked(int section);
    void columnDropped(const GridDrag::Payload& payload, int visualIndex);
    void startHeaderDrag(int section);
    void showColumn(const QString& name, int visualIndex);
    void updateGroupingPanel();
    void updateChooser();
    void updateSpans();
    void spanGroupRows(int first, int last);
    void applyLook();
    bool viewportMousePress(QMouseEvent* event);
    bool toggleGroupAt(int row);

    GridDef m_def;
    TableObject* m_table;
    QList<GridColumnObject*> m_columns;
    GridModel* m_model;
    CatalogueProxy* m_proxy;
    CatalogueDelegate* m_delegate;
    QTableView* m_view;
    FilterHeader* m_header;
    GroupingPanel* m_groupPanel;
    FooterBar* m_footer = nullptr;
    NavigatorBar* m_navigator = nullptr;
    QPointer<ColumnChooser> m_chooser;
    QPointer<QMenu> m_contextMenu;
    bool m_syncing = false;
    bool m_nativeStyle = false;
    bool m_spansSet = false;
    bool m_chooserPlaced = false;
    int m_updateDepth = 0;
};
