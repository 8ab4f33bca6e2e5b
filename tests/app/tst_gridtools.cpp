#include "app/MainWindow.h"
#include "app/commands/CommandTable.h"
#include "app/commands/EditEntryAction.h"
#include "data/DataModule.h"
#include "data/TableObject.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/CatalogueModels.h"
#include "gridtools/LookupCombo.h"
#include "images/ImagePage.h"
#include "media/MediaPage.h"
#include "support/WindowFixture.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QUuid>

namespace {

// A list of texts from literals.
QStringList L(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* item : items)
        out.append(QString::fromUtf8(item));
    return out;
}

void addPicture(DataModule& d, const QString& folder, const QString& name, const QString& description)
{
    TableObject* t = d.MSBild;
    t->append();
    t->setValue(QStringLiteral("Dateipfad"), folder);
    t->setValue(QStringLiteral("Dateiname"), name);
    t->setValue(QStringLiteral("Beschreibung"), description);
    for (const char* field : {"Automarke", "Sonstiges", "Sonstiges1", "Produktgruppe"})
        t->setValue(QLatin1String(field), QStringLiteral("alt"));
    t->post();
}

void addMedia(DataModule& d, const QString& folder, const QString& name)
{
    TableObject* t = d.MSMedia;
    t->append();
    t->setValue(QStringLiteral("Dateipfad"), folder);
    t->setValue(QStringLiteral("Dateiname"), name);
    for (const char* field : {"Beschreibung", "Sonstiges", "Sonstiges1"})
        t->setValue(QLatin1String(field), QStringLiteral("alt"));
    t->post();
}

// An entry of a lookup list; an invalid value leaves the key field empty (the list "Typen" then
// gets a description, so that the row is not empty).
void addEntry(TableObject* list, const QString& field, const QVariant& value)
{
    list->append();
    if (value.isValid())
        list->setValue(field, value);
    else
        list->setValue(QStringLiteral("Bezeichnung"), QStringLiteral("leer"));
    list->post();
    list->first();
}

// Ten pictures p01…p10 in the folders /a/ (4), /b/ (3), /c/ (3), of which p02, p05 and p09 are
// described as "Felge"; six media files m01…m06, the even ones in /rock/.
void tenPictures(DataModule& d)
{
    for (int i = 1; i <= 10; ++i) {
        const QString folder = i <= 4 ? QStringLiteral("/a/") : i <= 7 ? QStringLiteral("/b/") : QStringLiteral("/c/");
        const bool rim = i == 2 || i == 5 || i == 9;
        addPicture(d, folder, QStringLiteral("p%1").arg(i, 2, 10, QLatin1Char('0')),
                   rim ? QStringLiteral("Felge") : QStringLiteral("alt"));
    }
    for (int i = 1; i <= 6; ++i)
        addMedia(d, i % 2 == 0 ? QStringLiteral("/rock/") : QStringLiteral("/jazz/"), QStringLiteral("m0%1").arg(i));
    d.MSBild->first();
    d.MSMedia->first();
}

// A second connection to the catalogue, as another program would open it: reads what was really
// stored, and records every updated row of the two catalogues in the table "hits".
struct Probe
{
    QString name = QStringLiteral("probe-") + QUuid::createUuid().toString(QUuid::WithoutBraces);

    explicit Probe(const QString& path)
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            db.open();
        }
        exec("CREATE TABLE hits (name TEXT)");
        exec("CREATE TRIGGER hitBild AFTER UPDATE ON Bilddaten BEGIN INSERT INTO hits VALUES (NEW.Dateiname); END");
        exec("CREATE TRIGGER hitMedia AFTER UPDATE ON Media BEGIN INSERT INTO hits VALUES (NEW.Dateiname); END");
    }
    ~Probe()
    {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }

    void exec(const char* sql) const
    {
        QSqlQuery q(QSqlDatabase::database(name, false));
        if (!q.exec(QLatin1String(sql)))
            qFatal("%s: %s", sql, qPrintable(q.lastError().text()));
    }
    QVariantList column(const QString& sql) const
    {
        QSqlQuery q(QSqlDatabase::database(name, false));
        if (!q.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        QVariantList out;
        while (q.next())
            out.append(q.value(0));
        return out;
    }
    // The rows updated since the last call, in the order they were written.
    QStringList hits() const
    {
        QStringList out;
        for (const QVariant& v : column(QStringLiteral("SELECT name FROM hits ORDER BY rowid")))
            out.append(v.toString());
        exec("DELETE FROM hits");
        return out;
    }
    QString stored(const QString& table, const QString& name, const QString& field) const
    {
        return column(QStringLiteral("SELECT %1 FROM %2 WHERE Dateiname = '%3'").arg(field, table, name))
            .value(0)
            .toString();
    }
    int count(const QString& table, const QString& where = QStringLiteral("1")) const
    {
        return column(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, where)).value(0).toInt();
    }
};

// The texts a grid column shows in its data rows, top to bottom.
QStringList shownTexts(CatalogueGrid* grid, const QString& column)
{
    CatalogueProxy* proxy = grid->proxy();
    const int position = grid->column(column)->position();
    QStringList out;
    for (int r = 0; r < proxy->rowCount(); ++r) {
        if (proxy->kind(r) == CatalogueProxy::RowKind::Data)
            out.append(proxy->index(r, position).data().toString());
    }
    return out;
}

// Types a value into a grid cell's drop-down editor and confirms it, as the grid's delegate does
// when the editor closes.
void typeIntoCell(CatalogueGrid* grid, int sourceRow, const QString& column, const QString& text)
{
    QTableView* view = grid->view();
    const QModelIndex index = view->model()->index(grid->proxy()->rowOf(sourceRow), grid->column(column)->position());
    QAbstractItemDelegate* delegate = view->itemDelegate();
    std::unique_ptr<QWidget> editor(delegate->createEditor(view->viewport(), QStyleOptionViewItem(), index));
    auto* combo = qobject_cast<LookupCombo*>(editor.get());
    QVERIFY(combo);
    delegate->setEditorData(combo, index);
    combo->setEditText(text);
    delegate->setModelData(combo, view->model(), index);
}

// Every place a lookup list is offered that lacks the text: the drop-downs of all grid columns
// and detail editors bound to the list.
QStringList placesLacking(MainWindow* window, TableObject* list, const QString& text)
{
    QStringList lacking;
    for (CatalogueGrid* grid : {window->imagePage->cxGrid1, window->mediaPage->cxGrid4}) {
        QTableView* view = grid->view();
        for (GridColumnObject* column : grid->columns()) {
            if (column->definition().lookup.list != list)
                continue;
            const QModelIndex index = view->model()->index(0, column->position());
            std::unique_ptr<QWidget> editor(
                view->itemDelegate()->createEditor(view->viewport(), QStyleOptionViewItem(), index));
            auto* combo = qobject_cast<LookupCombo*>(editor.get());
            if (!combo || !combo->listContains(text))
                lacking.append(column->objectName());
        }
    }
    for (LookupCombo* combo : window->findChildren<LookupCombo*>()) {
        if (combo->binding().list == list && !combo->listContains(text))
            lacking.append(combo->objectName());
    }
    return lacking;
}

void runCommand(WindowFixture& f, const char* action, int page)
{
    f.window->cxPageControl1->setCurrentIndex(page);
    QAction* a = f.action(action);
    QVERIFY(a);
    QVERIFY(a->isEnabled());
    a->trigger();
}

} // namespace

class TestGridTools : public QObject
{
    Q_OBJECT

    enum Arrange
    {
        Filtered,
        SortedDown,
        TwoSelected,
        FilterOnTarget,
        CollapsedGroup,
        Empty,
        MediaFiltered,
    };

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void replaceWritesEveryShownRowOnce_data()
    {
        QTest::addColumn<int>("arrange");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("written");

        const QString description = QStringLiteral("Beschreibung");
        QTest::newRow("filtered to 3 of 10") << int(Filtered) << QStringLiteral("dxBarEdit3") << description
                                             << QStringLiteral("Neu") << L({"p05", "p06", "p07"});
        QTest::newRow("sorted other than the table")
            << int(SortedDown) << QStringLiteral("dxBarEdit3") << description << QStringLiteral("Neu")
            << L({"p10", "p09", "p08", "p07", "p06", "p05", "p04", "p03", "p02", "p01"});
        QTest::newRow("selection plays no part")
            << int(TwoSelected) << QStringLiteral("dxBarEdit6") << QStringLiteral("Sonstiges") << QStringLiteral("Neu")
            << L({"p01", "p02", "p03", "p04", "p05", "p06", "p07", "p08", "p09", "p10"});
        QTest::newRow("rows leave a filter on the target column")
            << int(FilterOnTarget) << QStringLiteral("dxBarEdit3") << description << QStringLiteral("Spoiler")
            << L({"p02", "p05", "p09"});
        QTest::newRow("collapsed group left out")
            << int(CollapsedGroup) << QStringLiteral("dxBarEdit4") << QStringLiteral("Produktgruppe")
            << QStringLiteral("Neu") << L({"p01", "p02", "p03", "p04", "p08", "p09", "p10"});
        QTest::newRow("empty view") << int(Empty) << QStringLiteral("dxBarEdit3") << description
                                    << QStringLiteral("Neu") << QStringList{};
        QTest::newRow("media grid") << int(MediaFiltered) << QStringLiteral("dxBarEdit9") << QStringLiteral("Sonstiges")
                                    << QStringLiteral("Neu") << L({"m02", "m04", "m06"});
    }

    void replaceWritesEveryShownRowOnce()
    {
        QFETCH(int, arrange);
        QFETCH(QString, entry);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QStringList, written);

        WindowFixture f(tenPictures);
        const bool media = arrange == MediaFiltered;
        CatalogueGrid* grid = media ? f.window->mediaPage->cxGrid4 : f.window->imagePage->cxGrid1;
        const QString prefix = media ? QStringLiteral("cxGrid4DBTableView1") : QString();
        const QString table = media ? QStringLiteral("Media") : QStringLiteral("Bilddaten");
        grid->setSortKeys({{prefix + QStringLiteral("Dateiname"), Qt::AscendingOrder}});
        switch (Arrange(arrange)) {
        case Filtered:
            grid->setFilterText(QStringLiteral("Dateipfad"), QStringLiteral("/b/"));
            break;
        case SortedDown:
            grid->setSortKeys({{QStringLiteral("Dateiname"), Qt::DescendingOrder}});
            break;
        case TwoSelected: {
            grid->setMultiSelect(true);
            grid->view()->selectionModel()->clear();
            QAbstractItemModel* model = grid->view()->model();
            for (int r : {1, 3})
                grid->view()->selectionModel()->select(model->index(r, 0),
                                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
            QCOMPARE(grid->selectedRows().size(), 2);
            break;
        }
        case FilterOnTarget:
            grid->setFilterText(QStringLiteral("Beschreibung"), QStringLiteral("Felge"));
            break;
        case CollapsedGroup: {
            grid->groupBy(QStringLiteral("Dateipfad"));
            grid->setAllExpanded(true);
            CatalogueProxy* proxy = grid->proxy();
            for (int r = 0; r + 1 < proxy->rowCount(); ++r) {
                if (proxy->kind(r) == CatalogueProxy::RowKind::Group &&
                    grid->value(proxy->sourceRow(r + 1), QStringLiteral("Dateipfad")) == QStringLiteral("/b/"))
                    proxy->setExpanded(r, false);
            }
            QCOMPARE(grid->visibleRows().size(), 7);
            break;
        }
        case Empty:
            grid->setFilterText(QStringLiteral("Dateiname"), QStringLiteral("zzz"));
            break;
        case MediaFiltered:
            grid->setFilterText(prefix + QStringLiteral("Dateipfad"), QStringLiteral("/rock/"));
            break;
        }
        QCOMPARE(grid->visibleRows().size(), written.size());

        Probe probe(f.context.paths.database);
        QStringList before;
        const QVariantList names = probe.column(QStringLiteral("SELECT Dateiname FROM %1 ORDER BY rowid").arg(table));
        for (const QVariant& name : names)
            before.append(probe.stored(table, name.toString(), field));

        f.window->commands()->editEntry(entry)->confirmText(text);

        QCOMPARE(f.dialogs.errors, QStringList());
        QCOMPARE(probe.hits(), written);
        for (int i = 0; i < names.size(); ++i) {
            const QString name = names[i].toString();
            QCOMPARE(probe.stored(table, name, field), written.contains(name) ? text : before[i]);
        }
        // The grid repaints again and shows the new values where the rows are still shown.
        QVERIFY(grid->view()->updatesEnabled());
        const QStringList shown = shownTexts(grid, prefix + field);
        const QStringList shownNames = shownTexts(grid, prefix + QStringLiteral("Dateiname"));
        for (int i = 0; i < shown.size(); ++i)
            QCOMPARE(shown[i], written.contains(shownNames[i]) ? text : before[names.indexOf(shownNames[i])]);
        if (arrange == FilterOnTarget)
            QCOMPARE(shown.size(), 0);
    }

    void replaceRunsOnlyForAChangedText()
    {
        WindowFixture f(tenPictures);
        Probe probe(f.context.paths.database);
        EditEntryAction* entry = f.window->commands()->editEntry(QStringLiteral("dxBarEdit3"));
        CatalogueGrid* grid = f.window->imagePage->cxGrid1;

        entry->confirmText(QStringLiteral("Neu"));
        QCOMPARE(probe.hits().size(), 10);
        entry->confirmText(QStringLiteral("Neu"));
        QCOMPARE(probe.hits().size(), 0);

        // An empty text empties the column.
        entry->confirmText(QString());
        QCOMPARE(probe.hits().size(), 10);
        QCOMPARE(probe.count(QStringLiteral("Bilddaten"), QStringLiteral("COALESCE(Beschreibung, '') <> ''")), 0);
        QCOMPARE(shownTexts(grid, QStringLiteral("Beschreibung")), QStringList(10, QString()));
        QCOMPARE(f.dialogs.errors, QStringList());
    }

    void replaceEndingInADatabaseErrorKeepsWhatWasWritten()
    {
        WindowFixture f(tenPictures);
        Probe probe(f.context.paths.database);
        probe.exec("CREATE TRIGGER refuse BEFORE UPDATE ON Bilddaten WHEN OLD.Dateiname = 'p04' "
                   "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
        CatalogueGrid* grid = f.window->imagePage->cxGrid1;
        grid->setSortKeys({{QStringLiteral("Dateiname"), Qt::AscendingOrder}});

        f.window->commands()->editEntry(QStringLiteral("dxBarEdit3"))->confirmText(QStringLiteral("Neu"));

        QCOMPARE(f.dialogs.errors.size(), 1);
        QCOMPARE(probe.hits(), (L({"p01", "p02", "p03"})));
        QCOMPARE(probe.stored(QStringLiteral("Bilddaten"), QStringLiteral("p04"), QStringLiteral("Beschreibung")),
                 QStringLiteral("alt"));
        // The grid and the table stay usable: no pending write of the refused value is left.
        TableObject* table = f.data->MSBild;
        QVERIFY(grid->view()->updatesEnabled());
        QCOMPARE(table->state(), TableObject::State::Browse);
        table->first();
        table->last();
        grid->setFilterText(QStringLiteral("Beschreibung"), QStringLiteral("Neu"));
        QCOMPARE(grid->visibleRows().size(), 3);
        QCOMPARE(f.dialogs.errors.size(), 1);
    }

    void typedValueGrowsItsList_data()
    {
        QTest::addColumn<bool>("media");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("listField");
        QTest::addColumn<int>("added");

        QTest::newRow("make in the image grid") << false << "Automarke"
                                                << "Automarke"
                                                << "Porsche"
                                                << "Typen"
                                                << "Typen" << 1;
        QTest::newRow("make the list has") << false << "Automarke"
                                           << "Automarke"
                                           << "Audi"
                                           << "Typen"
                                           << "Typen" << 0;
        QTest::newRow("media Sonstiges") << true << "cxGrid4DBTableView1Sonstiges"
                                         << "Sonstiges"
                                         << "Opel"
                                         << "Typen"
                                         << "Typen" << 1;
        QTest::newRow("media Sonstiges1") << true << "cxGrid4DBTableView1Sonstiges1"
                                          << "Sonstiges1"
                                          << "Kombi"
                                          << "Spezialuniversalprodukt"
                                          << "SpezialUniversalProdukt" << 1;
        QTest::newRow("Produktgruppe") << false << "Produktgruppe"
                                       << "Produktgruppe"
                                       << "Felgen"
                                       << "Produktbezeichnung"
                                       << "Produktbez" << 1;
        QTest::newRow("hidden image column Sonstiges1") << false << "Sonstiges1"
                                                        << "Sonstiges1"
                                                        << "Chrom"
                                                        << "Sonstiges"
                                                        << "Sonstiges" << 1;
    }

    void typedValueGrowsItsList()
    {
        QFETCH(bool, media);
        QFETCH(QString, column);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, list);
        QFETCH(QString, listField);
        QFETCH(int, added);

        WindowFixture f([](DataModule& d) {
            tenPictures(d);
            addEntry(d.MSTypen, QStringLiteral("Typen"), QStringLiteral("Audi"));
            addEntry(d.MSSpezialProdukt, QStringLiteral("SpezialUniversalProdukt"), QStringLiteral("A4"));
            addEntry(d.MSProduktbezeichnung, QStringLiteral("Produktbez"), QStringLiteral("Spiegel"));
            addEntry(d.MSSonstiges, QStringLiteral("Sonstiges"), QStringLiteral("matt"));
        });
        Probe probe(f.context.paths.database);
        const int before = probe.count(list);
        CatalogueGrid* grid = media ? f.window->mediaPage->cxGrid4 : f.window->imagePage->cxGrid1;
        const QString table = media ? QStringLiteral("Media") : QStringLiteral("Bilddaten");
        const QString name = media ? QStringLiteral("m03") : QStringLiteral("p03");

        typeIntoCell(grid, 2, column, text);

        QCOMPARE(f.dialogs.errors, QStringList());
        QCOMPARE(probe.count(list), before + added);
        QCOMPARE(probe.count(list, QStringLiteral("%1 = '%2'").arg(listField, text)), 1);
        QCOMPARE(probe.stored(table, name, field), text);
        QCOMPARE(grid->value(2, column), QVariant(text));
        // Offered at once wherever the list is, also in the other catalogue.
        TableObject* lookup = grid->column(column)->definition().lookup.list;
        QCOMPARE(placesLacking(f.window.get(), lookup, text), QStringList());
        // Only the key field of a new entry is filled.
        if (added) {
            QSqlQuery q(QSqlDatabase::database(probe.name, false));
            QVERIFY(q.exec(QStringLiteral("SELECT * FROM %1 WHERE %2 = '%3'").arg(list, listField, text)));
            QVERIFY(q.next());
            for (int c = 0; c < q.record().count(); ++c) {
                const QString name = q.record().fieldName(c);
                if (name.compare(listField, Qt::CaseInsensitive) != 0 &&
                    q.value(c).metaType().id() == QMetaType::QString)
                    QVERIFY2(q.value(c).toString().isEmpty(), qPrintable(name));
            }
        }
    }

    void detailsEditorsGrowTheSonstigesList()
    {
        WindowFixture f([](DataModule& d) {
            tenPictures(d);
            addEntry(d.MSSonstiges, QStringLiteral("Sonstiges"), QStringLiteral("matt"));
        });
        Probe probe(f.context.paths.database);
        auto* second = f.window->findChild<LookupCombo*>(QStringLiteral("cxDBLookupComboBoxSonstiges1"));
        auto* first = f.window->findChild<LookupCombo*>(QStringLiteral("cxDBLookupComboBoxSonstiges"));
        QVERIFY(second && first);
        TableObject* pictures = f.data->MSBild;
        QCOMPARE(pictures->recNo(), 0);

        second->lineEdit()->clear();
        QTest::keyClicks(second->lineEdit(), QStringLiteral("Glanz"));
        QTest::keyClick(second->lineEdit(), Qt::Key_Return);

        QCOMPARE(f.dialogs.errors, QStringList());
        QCOMPARE(probe.count(QStringLiteral("Sonstiges")), 2);
        QVERIFY(first->listContains(QStringLiteral("Glanz")));
        QCOMPARE(second->currentText(), QStringLiteral("Glanz"));
        QCOMPARE(pictures->value(QStringLiteral("Sonstiges1")), QVariant(QStringLiteral("Glanz")));
        pictures->post();
        QCOMPARE(probe.stored(QStringLiteral("Bilddaten"), QStringLiteral("p01"), QStringLiteral("Sonstiges1")),
                 QStringLiteral("Glanz"));

        // The first editor now finds the text in the list and adds nothing.
        first->lineEdit()->clear();
        QTest::keyClicks(first->lineEdit(), QStringLiteral("Glanz"));
        QTest::keyClick(first->lineEdit(), Qt::Key_Return);
        pictures->post();
        QCOMPARE(probe.count(QStringLiteral("Sonstiges")), 2);
        QCOMPARE(probe.stored(QStringLiteral("Bilddaten"), QStringLiteral("p01"), QStringLiteral("Sonstiges")),
                 QStringLiteral("Glanz"));
    }

    void refusedListValueLeavesNoHalfAddedRow()
    {
        WindowFixture f(tenPictures);
        Probe probe(f.context.paths.database);
        probe.exec("CREATE TRIGGER refuse BEFORE INSERT ON Typen WHEN NEW.Typen = 'Verboten' "
                   "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
        CatalogueGrid* grid = f.window->imagePage->cxGrid1;

        typeIntoCell(grid, 0, QStringLiteral("Automarke"), QStringLiteral("Verboten"));
        QCOMPARE(f.dialogs.errors.size(), 1);
        QCOMPARE(f.data->MSTypen->state(), TableObject::State::Browse);
        QCOMPARE(f.data->MSTypen->recordCount(), 0);

        // The list takes the next value without the refused one coming back.
        typeIntoCell(grid, 1, QStringLiteral("Automarke"), QStringLiteral("Porsche"));
        QCOMPARE(f.dialogs.errors.size(), 1);
        QCOMPARE(probe.column(QStringLiteral("SELECT Typen FROM Typen")), QVariantList{QStringLiteral("Porsche")});
        QCOMPARE(placesLacking(f.window.get(), f.data->MSTypen, QStringLiteral("Porsche")), QStringList());
    }

    void deriveTakesTheFirstEntryFound_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("entries"); // "-" stands for an empty entry
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        const QString fromName = QStringLiteral("AutomarkeausDateinameableiten1");
        const QString fromFolder = QStringLiteral("Aut1");
        QTest::newRow("list order, not name order") << fromName << L({"audi", "bmw"}) << "file:///bilder/"
                                                    << "bmw_320.jpg"
                                                    << "bmw";
        QTest::newRow("case-sensitive") << fromName << L({"BMW"}) << "file:///bilder/"
                                        << "bmw_320.jpg"
                                        << "alt";
        QTest::newRow("earlier entry wins over a longer one")
            << fromFolder << L({"BMW", "BMW M"}) << "file:///bilder/BMW M3/"
            << "x.jpg"
            << "BMW";
        QTest::newRow("longer entry first") << fromFolder << L({"BMW M", "BMW"}) << "file:///bilder/BMW M3/"
                                            << "x.jpg"
                                            << "BMW M";
        QTest::newRow("empty entry never matches") << fromFolder << L({"-", "audi"}) << "file:///audi/"
                                                   << "x.jpg"
                                                   << "audi";
        QTest::newRow("folder command ignores the name") << fromFolder << L({"bmw"}) << "file:///audi/"
                                                         << "bmw.jpg"
                                                         << "alt";
        QTest::newRow("media Sonstiges from the folder")
            << "dxBarButton4" << L({"Jazz", "Rock"}) << "file:///musik/Rock/"
            << "Jazz.mp3"
            << "Rock";
        QTest::newRow("media Sonstiges1 from the name")
            << "dxBarButton5" << L({"Rock", "Jazz"}) << "file:///musik/Rock/"
            << "Jazz.mp3"
            << "Jazz";
    }

    void deriveTakesTheFirstEntryFound()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, entries);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, expected);

        const bool media = command.startsWith(QLatin1String("dxBar"));
        WindowFixture f([&](DataModule& d) {
            for (const QString& entry : entries)
                addEntry(d.MSTypen, QStringLiteral("Typen"), entry == QLatin1String("-") ? QVariant() : entry);
            if (media)
                addMedia(d, folder, name);
            else
                addPicture(d, folder, name, QStringLiteral("alt"));
        });
        Probe probe(f.context.paths.database);
        runCommand(f, command.toLatin1().constData(), media ? MainWindow::MediaFilesPage : MainWindow::ImagesPage);

        QCOMPARE(f.dialogs.errors, QStringList());
        const QString field = command == QLatin1String("dxBarButton5") ? QStringLiteral("Sonstiges1")
                              : media                                  ? QStringLiteral("Sonstiges")
                                                                       : QStringLiteral("Automarke");
        QCOMPARE(probe.stored(media ? QStringLiteral("Media") : QStringLiteral("Bilddaten"), name, field), expected);
        QCOMPARE(probe.hits().size(), expected == QLatin1String("alt") ? 0 : 1);
    }

    void deriveCoversTheWholeTableAndRestoresTheWindow()
    {
        WindowFixture f([](DataModule& d) {
            addEntry(d.MSTypen, QStringLiteral("Typen"), QStringLiteral("bmw"));
            for (const char* name : {"bmw_1.jpg", "bmw_2.jpg", "bmw_3.jpg", "audi_4.jpg", "bmw_5.jpg"})
                addPicture(d, QStringLiteral("file:///bilder/"), QLatin1String(name), QStringLiteral("alt"));
        });
        Probe probe(f.context.paths.database);
        CatalogueGrid* grid = f.window->imagePage->cxGrid1;
        grid->setSortKeys({{QStringLiteral("Dateiname"), Qt::DescendingOrder}});
        grid->setFilterText(QStringLiteral("Dateiname"), QStringLiteral("bmw_2"));
        f.data->MSBild->moveTo(3);
        QProgressBar* bar = f.window->imagePage->LMDProgress1;
        QList<QPair<int, bool>> progress;
        connect(bar, &QProgressBar::valueChanged, this, [&](int value) { progress.append({value, !bar->isHidden()}); });

        runCommand(f, "AutomarkeausDateinameableiten1", MainWindow::ImagesPage);

        QCOMPARE(f.dialogs.errors, QStringList());
        QCOMPARE(probe.hits(), (L({"bmw_1.jpg", "bmw_2.jpg", "bmw_3.jpg", "bmw_5.jpg"})));
        QCOMPARE(probe.stored(QStringLiteral("Bilddaten"), QStringLiteral("audi_4.jpg"), QStringLiteral("Automarke")),
                 QStringLiteral("alt"));
        QCOMPARE(progress, (QList<QPair<int, bool>>{
                               {0, false}, {20, true}, {40, true}, {60, true}, {80, true}, {100, true}, {0, false}}));
        QCOMPARE(f.data->MSBild->recNo(), 0);
        QVERIFY(!f.data->MSBild->controlsDisabled());
        QVERIFY(bar->isHidden());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(shownTexts(grid, QStringLiteral("Automarke")), QStringList{QStringLiteral("bmw")});
    }

    void deriveEndingInADatabaseErrorRestoresTheWindow()
    {
        WindowFixture f([](DataModule& d) {
            addEntry(d.MSTypen, QStringLiteral("Typen"), QStringLiteral("Rock"));
            for (const char* name : {"m1", "m2", "m3", "m4"})
                addMedia(d, QStringLiteral("file:///Rock/"), QLatin1String(name));
        });
        Probe probe(f.context.paths.database);
        probe.exec("CREATE TRIGGER refuse BEFORE UPDATE ON Media WHEN OLD.Dateiname = 'm3' "
                   "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
        QProgressBar* bar = f.window->mediaPage->LMDProgress2;

        runCommand(f, "dxBarButton4", MainWindow::MediaFilesPage);

        QCOMPARE(f.dialogs.errors.size(), 1);
        QCOMPARE(probe.hits(), (L({"m1", "m2"})));
        QCOMPARE(probe.stored(QStringLiteral("Media"), QStringLiteral("m4"), QStringLiteral("Sonstiges")),
                 QStringLiteral("alt"));
        TableObject* table = f.data->MSMedia;
        QVERIFY(!table->controlsDisabled());
        QVERIFY(bar->isHidden());
        QCOMPARE(bar->value(), 0);
        QVERIFY(!QApplication::overrideCursor());
        // The table stands on its first record with no refused value pending.
        QCOMPARE(table->state(), TableObject::State::Browse);
        QCOMPARE(table->recNo(), 0);
        table->last();
        QCOMPARE(f.dialogs.errors.size(), 1);
        QCOMPARE(f.window->mediaPage->cxGrid4->visibleRows().size(), 4);
    }
};

QTEST_MAIN(TestGridTools)
#include "tst_gridtools.moc"
