#pragma once

#include <QHeaderView>
#include <QListWidget>
#include <QPointer>
#include <QWidget>

#include <optional>

class CatalogueProxy;
class QLabel;
class QLineEdit;
class QMimeData;
class QTableView;

// A grid column on its way between the column header, the grouping panel and the column chooser.
namespace GridDrag {

enum class Source
{
    Header,
    GroupingPanel,
    Chooser,
};

struct Payload
{
    QString grid;
    QString column;
    Source source = Source::Header;
};

QMimeData* encode(const Payload& payload);
// Only columns of the named grid are taken.
std::optional<Payload> decode(const QMimeData* mime, const QString& grid);

} // namespace GridDrag

// The column header with the filter row below the captions: one text field per column. A
// section dragged out of the header leaves it as a column drag; columns dropped on the header are
// shown at the drop place.
class FilterHeader : public QHeaderView
{
    Q_OBJECT

public:
    FilterHeader(const QString& gridName, QWidget* parent = nullptr);

    // One text field per column, with these object names.
    void createEditors(const QStringList& objectNames);
    QLineEdit* editor(int logicalIndex) const { return m_editors.value(logicalIndex); }
    void setSortMarks(const QList<QPair<int, Qt::SortOrder>>& marks);
    // True while the header ends its own press for a drag that left it: no click then.
    bool isLeaving() const { return m_leaving; }
    int captionHeight() const;

    QSize sizeHint() const override;

signals:
    void filterEdited(int logicalIndex, const QString& text);
    void sectionDraggedOut(int logicalIndex);
    void columnDropped(const GridDrag::Payload& payload, int visualIndex);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void updateGeometries() override;

private:
    void placeEditors();
    int dropIndexAt(int x) const;

    QString m_grid;
    QList<QLineEdit*> m_editors;
    QList<QPair<int, Qt::SortOrder>> m_marks;
    QPoint m_pressAt;
    int m_pressed = -1;
    bool m_leaving = false;
    bool m_placingQueued = false;
};

// The grouping panel above the grid: the grouping columns as buttons, outermost first. A header
// dropped here groups by its column; a button dragged out of the panel ungroups; a click turns the
// group order round.
class GroupingPanel : public QWidget
{
    Q_OBJECT

public:
    struct Group
    {
        QString column;
        QString caption;
        Qt::SortOrder order = Qt::AscendingOrder;
    };

    GroupingPanel(const QString& gridName, QWidget* parent = nullptr);

    void setGroups(const QList<Group>& groups);
    const QList<Group>& groups() const { return m_groups; }
    static QString hintText();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void groupDropped(const QString& column, int level);
    void groupRemoved(const QString& column);
    void orderToggled(const QString& column);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QList<QRect> buttonRects() const;
    int buttonAt(const QPoint& pos) const;
    int levelAt(const QPoint& pos) const;

    QString m_grid;
    QList<Group> m_groups;
    int m_pressed = -1;
    QPoint m_pressAt;
    bool m_droppedHere = false;
};

// The footer row under the grid: each column's summaries in a cell below it.
class FooterBar : public QWidget
{
    Q_OBJECT

public:
    FooterBar(QTableView* view, CatalogueProxy* proxy, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTableView* m_view;
    CatalogueProxy* m_proxy;
};

// The column chooser of one grid: a small window listing the hidden columns. A column dragged
// from it into the header is shown there; a header dragged into it is hidden.
class ColumnChooser : public QWidget
{
    Q_OBJECT

public:
    struct Column
    {
        QString name;
        QString caption;
    };

    ColumnChooser(const QString& gridName, QWidget* parent = nullptr);

    void setHiddenColumns(const QList<Column>& columns);
    QStringList hiddenColumns() const; // names, as listed
    QListWidget* list() const { return m_list; }

signals:
    void hideRequested(const QString& column);
    void showRequested(const QString& column);

private:
    QString m_grid;
    QListWidget* m_list;
};
