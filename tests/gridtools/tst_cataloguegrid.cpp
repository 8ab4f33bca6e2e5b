#include "CatalogueFixture.h"

#include "gridtools/CatalogueGrid.h"
#include "gridtools/CatalogueModels.h"
#include "gridtools/GridWidgets.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

namespace {

QStringList texts(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* item : items)
        out.append(QString::fromUtf8(item));
    return out;
}

// What a drag of a grid column ends in: the target gets enter, move and drop at one point.
void drop(QWidget* target, const GridDrag::Payload& payload, const QPoint& at)
{
    std::unique_ptr<QMimeData> mime(GridDrag::encode(payload));
    QDragEnterEvent enter(at, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent dropped(QPointF(at), Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
}

QStringList groupColumns(const CatalogueGrid& grid)
{
    QStringList out;
    for (const GridSortKey& key : grid.groupKeys())
        out.append(key.column + (key.order == Qt::AscendingOrder ? QStringLiteral("+") : QStringLiteral("-")));
    return out;
}

// A point in the left half of a column's header section.
QPoint leftHalfOf(const FilterHeader* header, int logical)
{
    return {header->sectionViewportPosition(logical) + 4, header->captionHeight() / 2};
}

struct Shown
{
    CatalogueFixture fixture{
        {"/b/", "b1.jpg", "Felge"}, {"/a/", "a2.jpg", "Spoiler"}, {"/a/", "a1.jpg", "Felge vorn"}, {"/c/", "c1.jpg"}};
    CatalogueGrid grid{CatalogueFixture::definition(), fixture.data->DSBild};

    Shown()
    {
        grid.setSortKeys({{QStringLiteral("Dateiname"), Qt::AscendingOrder}});
        grid.resize(900, 400);
        grid.show();
    }
    QStringList shown() const { return fixture.names(grid.visibleRows()); }
};

} // namespace

class TestCatalogueGrid : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void columnChooserShowsAndHides()
    {
        Shown s;
        CatalogueGrid& grid = s.grid;
        FilterHeader* header = grid.header();
        ColumnChooser* chooser = grid.columnChooser();
        QCOMPARE(chooser->hiddenColumns(), texts({"Groesse", "fortlfnr"}));
        QCOMPARE(chooser->list()->item(0)->text(), QStringLiteral("Größe"));

        // A header dragged into the chooser hides its column.
        drop(chooser->list()->viewport(), {grid.objectName(), QStringLiteral("Beschreibung"), GridDrag::Source::Header},
             {10, 10});
        QVERIFY(grid.column(QStringLiteral("Beschreibung"))->isHidden());
        QVERIFY(grid.view()->isColumnHidden(2));
        QCOMPARE(chooser->hiddenColumns(), texts({"Beschreibung", "Groesse", "fortlfnr"}));

        // A column dragged from the chooser onto the header shows where it was dropped.
        drop(header->viewport(), {grid.objectName(), QStringLiteral("Groesse"), GridDrag::Source::Chooser},
             leftHalfOf(header, 1));
        QVERIFY(!grid.view()->isColumnHidden(3));
        QCOMPARE(header->visualIndex(3), header->visualIndex(1) - 1);
        QCOMPARE(chooser->hiddenColumns(), texts({"Beschreibung", "fortlfnr"}));

        // Columns of another grid are not taken.
        drop(chooser->list()->viewport(),
             {QStringLiteral("cxGrid9"), QStringLiteral("Dateiname"), GridDrag::Source::Header}, {10, 10});
        QVERIFY(!grid.column(QStringLiteral("Dateiname"))->isHidden());

        // The chooser's command opens it.
        grid.showColumnChooser();
        QVERIFY(chooser->isVisible());
    }

    void groupingPanelGroupsAndTheHeaderUngroups()
    {
        Shown s;
        CatalogueGrid& grid = s.grid;
        GroupingPanel* panel = grid.groupingPanel();
        const QString name = grid.objectName();
        drop(panel, {name, QStringLiteral("Dateipfad"), GridDrag::Source::Header}, {panel->width() - 5, 5});
        QCOMPARE(groupColumns(grid), texts({"Dateipfad+"}));
        // Dropped before the first button: the outer level.
        drop(panel, {name, QStringLiteral("Beschreibung"), GridDrag::Source::Header}, {1, 5});
        QCOMPARE(groupColumns(grid), texts({"Beschreibung+", "Dateipfad+"}));
        QCOMPARE(panel->groups().first().caption, QStringLiteral("Beschreibung"));

        // A click on a group's button turns its order round.
        QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(14, panel->height() / 2));
        QCOMPARE(groupColumns(grid), texts({"Beschreibung-", "Dateipfad+"}));

        // Dragged back onto the header, a grouping column is no longer grouped.
        drop(grid.header()->viewport(), {name, QStringLiteral("Beschreibung"), GridDrag::Source::GroupingPanel},
             leftHalfOf(grid.header(), 0));
        QCOMPARE(groupColumns(grid), texts({"Dateipfad+"}));

        // Group rows span the row, open with the Right key and with a click on their button.
        QTableView* view = grid.view();
        CatalogueProxy* proxy = grid.proxy();
        QCOMPARE(proxy->rowCount(), 3);
        QCOMPARE(view->columnSpan(0, 0), proxy->columnCount());
        QVERIFY(s.shown().isEmpty());
        view->setCurrentIndex(proxy->index(0, 0));
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(s.shown(), texts({"a1.jpg", "a2.jpg"}));
        const int b = proxy->rowCount() - 2;
        QCOMPARE(proxy->kind(b), CatalogueProxy::RowKind::Group);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(proxy->index(b, 0)).topLeft() + QPoint(8, 4));
        QCOMPARE(s.shown(), texts({"a1.jpg", "a2.jpg", "b1.jpg"}));
        QCOMPARE(view->columnSpan(b, 0), proxy->columnCount());
        // The selection gives data rows only.
        view->selectAll();
        QCOMPARE(s.fixture.names(grid.selectedRows()), texts({"a1.jpg", "a2.jpg", "b1.jpg"}));
    }

    void filterRowAndFooter()
    {
        Shown s;
        CatalogueGrid& grid = s.grid;
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        FilterHeader* header = grid.header();
        QLineEdit* names = header->editor(1);
        QVERIFY(names->isVisible());
        QCOMPARE(names->x(), header->sectionViewportPosition(1) + 1);
        QVERIFY(!header->editor(3)->isVisible()); // hidden column
        QCOMPARE(grid.footerText(QStringLiteral("Dateiname")), QStringLiteral("Anzahl: 4"));

        QTest::keyClicks(names, QStringLiteral("A"));
        QCOMPARE(s.shown(), texts({"a1.jpg", "a2.jpg"}));
        QCOMPARE(grid.filterText(QStringLiteral("Dateiname")), QStringLiteral("A"));
        QCOMPARE(grid.footerText(QStringLiteral("Dateiname")), QStringLiteral("Anzahl: 2"));
        grid.setFilterText(QStringLiteral("Beschreibung"), QStringLiteral("felge"));
        QCOMPARE(s.shown(), texts({"a1.jpg"}));
        QCOMPARE(header->editor(2)->text(), QStringLiteral("felge"));

        grid.setFilterText(QStringLiteral("Dateiname"), {});
        grid.setFilterText(QStringLiteral("Beschreibung"), {});
        QVERIFY(names->text().isEmpty());
        QCOMPARE(s.shown(), texts({"a1.jpg", "a2.jpg", "b1.jpg", "c1.jpg"}));
    }

    void updateBracketKeepsRowsUntilTheEnd()
    {
        Shown s;
        CatalogueGrid& grid = s.grid;
        grid.setFilterText(QStringLiteral("Beschreibung"), QStringLiteral("Felge"));
        QCOMPARE(s.shown(), texts({"a1.jpg", "b1.jpg"}));
        // The rows a replacement run takes at its start are written, each once, even where the
        // new value moves them out of the filter.
        const QList<int> rows = grid.visibleRows();
        grid.beginUpdate();
        for (int row : rows) {
            s.fixture.table()->moveTo(row);
            s.fixture.table()->setValue(QStringLiteral("Beschreibung"), QStringLiteral("Spoiler"));
            s.fixture.table()->post();
            QCOMPARE(grid.visibleRows(), rows);
        }
        grid.endUpdate();
        QVERIFY(s.shown().isEmpty());
        QVERIFY(grid.view()->updatesEnabled());
    }
};

QTEST_MAIN(TestCatalogueGrid)
#include "tst_cataloguegrid.moc"
