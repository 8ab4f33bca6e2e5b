#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class TableObject;

// How a grid column edits its value in place.
enum class EditorKind
{
    Text,      // single line, limited to the field's size
    Lookup,    // drop-down of a lookup list that also takes typed values
    FixedList, // drop-down of fixed entries
    Memo,      // multi-line pop-up
    Mask,      // single line with an input mask
    ReadOnly,
};

struct LookupBinding
{
    TableObject* list = nullptr; // the lookup table object
    QStringList columns;         // list columns shown, the first is the stored key
    bool sorted = false;         // drop-down lists the key ascending
    QString newValueHandler;     // runs when a typed value is missing from the list; empty: none
};

struct GridColumn
{
    QString name;    // component name of the column
    QString field;   // bound field
    QString caption; // design caption; empty shows the field name
    bool hidden = false;
    EditorKind editor = EditorKind::Text;
    LookupBinding lookup;
    QStringList fixedItems;
    QString inputMask;
};

struct GridSortKey
{
    QString column;
    Qt::SortOrder order = Qt::AscendingOrder;
};

enum class SummaryKind
{
    Count, // the rows of the footer's range
    Sum,   // the column's numeric values added up
};

// A summary shown in a footer, in the cell of its column.
struct GridSummary
{
    QString column; // component name of the column
    SummaryKind kind = SummaryKind::Count;
};

enum class GroupFooterMode
{
    Hidden,
    WhileExpanded, // below an expanded group's rows
    Always,        // also below a collapsed group row
};

struct GridDef
{
    QString gridName; // "cxGrid1"
    QString viewName; // "View1"
    QList<GridColumn> columns;
    QList<GridSortKey> sort; // the design sort
    bool multiSelect = true;
    bool groupingPanel = true;
    bool rowIndicator = true;
    bool navigatorBar = false;
    bool columnsFitWidth = false;
    bool alwaysShowEditButtons = false;
    QList<GridSummary> footerSummaries; // the footer row under the grid; none: no footer row
    QList<GridSummary> groupSummaries;  // in each group's footer
    QStringList groupSummaryLinks;      // grouping columns whose groups get a footer; empty: all
    GroupFooterMode groupFooters = GroupFooterMode::Hidden;
};

// One column of a grid view as an object of its own, found by its component name. Its caption
// and visibility are what the settings record and the column chooser change.
class GridColumnObject : public QObject
{
    Q_OBJECT

public:
    GridColumnObject(const GridColumn& column, int fieldIndex, int position, QObject* parent)
        : QObject(parent)
        , m_column(column)
        , m_fieldIndex(fieldIndex)
        , m_position(position)
        , m_caption(column.caption.isEmpty() ? column.field : column.caption)
        , m_hidden(column.hidden)
    {
        setObjectName(column.name);
    }

    const GridColumn& definition() const { return m_column; }
    int fieldIndex() const { return m_fieldIndex; }
    int position() const { return m_position; } // column of the grid, in design order
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption)
    {
        if (caption == m_caption)
            return;
        m_caption = caption;
        emit captionChanged(m_position);
    }
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden)
    {
        if (hidden == m_hidden)
            return;
        m_hidden = hidden;
        emit visibilityChanged(m_position, hidden);
    }

signals:
    void captionChanged(int position);
    void visibilityChanged(int position, bool hidden);

private:
    GridColumn m_column;
    int m_fieldIndex;
    int m_position;
    QString m_caption;
    bool m_hidden;
};
