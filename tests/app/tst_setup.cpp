#include "app/MainWindow.h"
#include "app/SetupPage.h"
#include "app/commands/CommandTable.h"
#include "data/DataModule.h"
#include "discs/DiscPage.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/LookupCombo.h"
#include "images/ImagePage.h"
#include "platform/FileUrl.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

// Where a name from the settings record shows up, and the text it is given there ("%1" stands
// for the field's text).
enum class Shown
{
    Column,
    Label,
    Entry,
    Choice,
};

struct Relabelled
{
    const char* field;
    Shown kind;
    const char* owner; // grid of a column
    const char* target;
    const char* text;
};

const QList<Relabelled>& relabelled()
{
    static const QList<Relabelled> all = {
        {"a1", Shown::Column, "cxGrid1", "Automarke", "%1"},
        {"a1", Shown::Label, "", "Label13", "%1"},
        {"a1", Shown::Entry, "", "AutomarkeausDateinameableiten1", "%1 aus Datei&name ableiten"},
        {"a1", Shown::Entry, "", "Aut1", "%1 aus Datei&pfad ableiten"},
        {"a1", Shown::Choice, "", "cxRadioGroup2Item1", "%1"},
        {"a2", Shown::Column, "cxGrid1", "SpezialUniversalProdukt", "%1"},
        {"a2", Shown::Label, "", "Label5", "%1"},
        {"a2", Shown::Entry, "", "dxBarEdit2", "alle %1 Werte ersetzen durch:"},
        {"a2", Shown::Choice, "", "cxRadioGroup2Item2", "%1"},
        {"a3", Shown::Column, "cxGrid1", "Produktgruppe", "%1"},
        {"a3", Shown::Label, "", "Label4", "%1"},
        {"a3", Shown::Entry, "", "dxBarEdit4", "alle %1 Werte ersetzen durch:"},
        {"a3", Shown::Choice, "", "cxRadioGroup2Item3", "%1"},
        {"a4", Shown::Column, "cxGrid1", "Produktbildvariante", "%1"},
        {"a4", Shown::Label, "", "Label3", "%1"},
        {"a4", Shown::Entry, "", "dxBarEdit5", "alle %1 Werte ersetzen durch:"},
        {"a4", Shown::Choice, "", "cxRadioGroup2Item4", "%1"},
        {"a5", Shown::Column, "cxGrid1", "Sonstiges", "%1"},
        {"a5", Shown::Label, "", "Label7", "%1"},
        {"a5", Shown::Entry, "", "dxBarEdit6", "alle %1 Werte ersetzen durch:"},
        {"a5", Shown::Choice, "", "cxRadioGroup2Item5", "%1"},
        {"a6", Shown::Column, "cxGrid1", "Sonstiges1", "%1"},
        {"a6", Shown::Label, "", "Label20", "%1"},
        {"b1", Shown::Column, "cxGrid2", "nr", "%1"},
        {"b2", Shown::Column, "cxGrid2", "Bezeichnung", "%1"},
        {"b3", Shown::Column, "cxGrid2", "Medium", "%1"},
        {"b4", Shown::Column, "cxGrid2", "Kategorie", "%1"},
        {"b5", Shown::Column, "cxGrid2", "Lagerort", "%1"},
        {"b6", Shown::Column, "cxGrid2", "Freifeld1", "%1"},
        {"b7", Shown::Column, "cxGrid2", "Freifeld2", "%1"},
        {"b8", Shown::Column, "cxGrid2", "Freifeld3", "%1"},
        {"c1", Shown::Column, "cxGrid3", "Liednr", "%1"},
        {"c2", Shown::Column, "cxGrid3", "Titel", "%1"},
        {"c3", Shown::Column, "cxGrid3", "Songtext", "%1"},
        {"c4", Shown::Column, "cxGrid3", "Interpret", "%1"},
        {"c5", Shown::Column, "cxGrid3", "Laenge", "%1"},
        {"d1", Shown::Column, "cxGrid4", "cxGrid4DBTableView1Beschreibung", "%1"},
        {"d1", Shown::Entry, "", "dxBarEdit8", "alle %1 Werte ersetzen durch:"},
        {"d2", Shown::Column, "cxGrid4", "cxGrid4DBTableView1Sonstiges", "%1"},
        {"d2", Shown::Entry, "", "dxBarEdit9", "alle %1 Werte ersetzen durch:"},
        {"d2", Shown::Entry, "", "dxBarButton4", "%1 aus Dateipfad ableiten"},
        {"d3", Shown::Column, "cxGrid4", "cxGrid4DBTableView1Sonstiges1", "%1"},
        {"d3", Shown::Entry, "", "dxBarEdit10", "alle %1 Werte ersetzen durch:"},
        {"d3", Shown::Entry, "", "dxBarButton5", "%1 aus Dateipfad ableiten"},
        {"d4", Shown::Column, "cxGrid4", "cxGrid4DBTableView1DBFreifeld1", "%1"},
        {"d5", Shown::Column, "cxGrid4", "cxGrid4DBTableView1DBFreifeld2", "%1"},
        {"d6", Shown::Column, "cxGrid4", "cxGrid4DBTableView1DBFreifeld3", "%1"},
    };
    return all;
}

// A name for every field, each different from the design texts and from the others: access-key
// markers, umlauts and the full 30 characters the fields hold.
QString nameFor(const QString& field)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("a1"), QStringLiteral("Marke")},
        {QStringLiteral("a2"), QStringLiteral("Modell & Typ")},
        {QStringLiteral("a3"), QStringLiteral("Größe/Übersicht")},
        {QStringLiteral("a4"), QStringLiteral("Außenspiegel Ölfilter Lüfter 1")},
        {QStringLiteral("a5"), QStringLiteral("&Zubehör")},
        {QStringLiteral("a6"), QStringLiteral("Herkunft")},
        {QStringLiteral("b1"), QStringLiteral("Lfd.-Nr.")},
        {QStringLiteral("b2"), QStringLiteral("Titel der Scheibe")},
        {QStringLiteral("b3"), QStringLiteral("Träger")},
        {QStringLiteral("b4"), QStringLiteral("Sparte & Art")},
        {QStringLiteral("b5"), QStringLiteral("Regal")},
        {QStringLiteral("b6"), QStringLiteral("Käufer")},
        {QStringLiteral("b7"), QStringLiteral("Preis")},
        {QStringLiteral("b8"), QStringLiteral("Zustand")},
        {QStringLiteral("c1"), QStringLiteral("Spur")},
        {QStringLiteral("c2"), QStringLiteral("Stück")},
        {QStringLiteral("c3"), QStringLiteral("Liedtext")},
        {QStringLiteral("c4"), QStringLiteral("Künstler")},
        {QStringLiteral("c5"), QStringLiteral("Dauer (mm:ss)")},
        {QStringLiteral("d1"), QStringLiteral("Inhalt")},
        {QStringLiteral("d2"), QStringLiteral("Quelle & Herkunft")},
        {QStringLiteral("d3"), QStringLiteral("Aufnahmeort und Aufnahmedatum!")},
        {QStringLiteral("d4"), QStringLiteral("Regisseur")},
        {QStringLiteral("d5"), QStringLiteral("Sprache")},
        {QStringLiteral("d6"), QStringLiteral("Bemerkung")},
    };
    return names.value(field);
}

// The text a relabelled target shows now, and for grid columns also what the header shows.
QString shownText(const WindowFixture& f, const Relabelled& r, QString* header = nullptr)
{
    const QString target = QLatin1String(r.target);
    switch (r.kind) {
    case Shown::Column: {
        auto* grid = f.window->findChild<CatalogueGrid*>(QLatin1String(r.owner));
        GridColumnObject* column = grid ? grid->column(target) : nullptr;
        if (!column)
            return QStringLiteral("<keine Spalte %1>").arg(target);
        if (header)
            *header = grid->view()->model()->headerData(column->position(), Qt::Horizontal).toString();
        return column->caption();
    }
    case Shown::Label:
        if (auto* label = f.window->findChild<QLabel*>(target))
            return label->text();
        break;
    case Shown::Entry:
        if (QAction* action = f.window->commands()->action(target))
            return action->text();
        break;
    case Shown::Choice:
        if (auto* item = f.window->findChild<QRadioButton*>(target))
            return item->text();
        break;
    }
    return QStringLiteral("<kein %1>").arg(target);
}

void setSettings(TableObject* settings, const QList<std::pair<const char*, QVariant>>& values)
{
    settings->first();
    for (const auto& [field, value] : values)
        settings->setValue(QLatin1String(field), value);
    settings->post();
}

QVariant storedSetting(DataModule& d, const char* field)
{
    QSqlQuery q(d.database());
    if (!q.exec(QStringLiteral("SELECT %1 FROM Variablen").arg(QLatin1String(field))) || !q.next())
        return QStringLiteral("<keine Zeile>");
    return q.value(0);
}

void execute(DataModule& d, const QString& sql)
{
    QSqlQuery q(d.database());
    if (!q.exec(sql))
        QFAIL(qPrintable(sql + QLatin1Char('\n') + q.lastError().text()));
}

// Adds rows until the table holds count; select builds the values from the running number i.
void fillTo(DataModule& d, const char* table, const char* columns, const char* select, int count)
{
    const int missing = count - d.countRows(QLatin1String(table));
    if (missing <= 0)
        return;
    execute(d, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                              "INSERT INTO %2 (%3) SELECT %4 FROM n")
                   .arg(missing)
                   .arg(QLatin1String(table), QLatin1String(columns), QLatin1String(select)));
}

void rereadAll(DataModule& d)
{
    for (TableObject* table : d.tables())
        table->refresh();
}

const QStringList& cleanUpTables()
{
    static const QStringList all = {
        QStringLiteral("Bilddaten"),
        QStringLiteral("archiv00"),
        QStringLiteral("Archiv01"),
        QStringLiteral("Media"),
        QStringLiteral("Typen"),
        QStringLiteral("Spezialuniversalprodukt"),
        QStringLiteral("Produktbezeichnung"),
        QStringLiteral("Produktbildvariante"),
        QStringLiteral("Sonstiges"),
        QStringLiteral("cdmedium"),
        QStringLiteral("cdrubrik"),
        QStringLiteral("cdlagerort"),
        QStringLiteral("Variablen"),
        QStringLiteral("MediaTyp"),
    };
    return all;
}

QHash<QString, int> rowCounts(DataModule& d)
{
    QHash<QString, int> counts;
    for (const QString& table : cleanUpTables())
        counts.insert(table, d.countRows(table));
    return counts;
}

// Every table that a clean-up empties holds a different number of rows; one holds more than
// a thousand. The pictures of the image rows, their thumbnails and a gallery page are on disk.
void fillCatalogue(DataModule& d, const QString& pictureFolder)
{
    QDir(pictureFolder).mkpath(QStringLiteral("thumbnail"));
    for (const QString& name : {QStringLiteral("a.jpg"), QStringLiteral("b.jpg"), QStringLiteral("c.jpg"),
                                QStringLiteral("thumbnail/TN_a.jpg"), QStringLiteral("image_1.htm")}) {
        QFile file(pictureFolder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly))
            QFAIL(qPrintable(file.fileName()));
    }
    const QString url = folderToFileUrl(pictureFolder);
    execute(d, QStringLiteral("INSERT INTO Bilddaten (Dateipfad, Dateiname, Thumbname, Automarke) VALUES "
                              "('%1', 'a.jpg', 'TN_a.jpg', 'Audi'), ('%1', 'b.jpg', NULL, 'BMW'), "
                              "('%1', 'c.jpg', NULL, NULL)")
                   .arg(url));
    fillTo(d, "archiv00", "recnr, Name", "i, 'Scheibe ' || i", 2);
    fillTo(d, "Archiv01", "fortlfnr, Titel", "1, 'Lied ' || i", 5);
    fillTo(d, "Media", "Dateipfad, Dateiname", "'file:///medien/', 'm' || i || '.mp3'", 4);
    fillTo(d, "Typen", "Typen", "'Typ ' || i", 6);
    fillTo(d, "Spezialuniversalprodukt", "SpezialUniversalProdukt", "'Modell ' || i", 7);
    fillTo(d, "Produktbezeichnung", "Produktbez", "'Gruppe ' || i", 8);
    fillTo(d, "Produktbildvariante", "Produktbildvariante", "'Variante ' || i", 9);
    fillTo(d, "Sonstiges", "Sonstiges", "'Sonst ' || i", 10);
    fillTo(d, "cdmedium", "fortlfnr, Medium", "10 + i, 'Medium ' || i", 11);
    fillTo(d, "cdrubrik", "fortlfnr, Rubrik", "i, 'Rubrik ' || i", 12);
    fillTo(d, "cdlagerort", "fortlfnr, Lagerort", "i, 'Ort ' || i", 1234);
    rereadAll(d);
}

TableObject* tableObject(DataModule& d, const QString& table)
{
    for (TableObject* object : d.tables()) {
        if (object->tableName() == table)
            return object;
    }
    return nullptr;
}

} // namespace

class TestSetup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void captionsFollowTheSettingsRecord_data()
    {
        QTest::addColumn<int>("target"); // into relabelled()
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        for (int i = 0; i < relabelled().size(); ++i) {
            const Relabelled& r = relabelled()[i];
            const QString name = nameFor(QLatin1String(r.field));
            QTest::addRow("%s → %s", r.field, r.target) << i << name << QString::fromUtf8(r.text).arg(name);
        }
    }

    void captionsFollowTheSettingsRecord()
    {
        QFETCH(int, target);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const Relabelled& r = relabelled()[target];
        WindowFixture f;
        QAction* entry = r.kind == Shown::Entry ? f.action(r.target) : nullptr;
        const QString designHint = entry ? entry->statusTip() : QString();

        setSettings(f.data->MSVariablen, {{r.field, name}});
        f.window->variablelesen();

        QString header;
        QCOMPARE(shownText(f, r, &header), expected);
        if (r.kind == Shown::Column)
            QCOMPARE(header, expected);
        if (entry)
            QCOMPARE(entry->statusTip(), designHint);
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void textsThatAreNotRelabelled()
    {
        WindowFixture f;
        QList<std::pair<const char*, QVariant>> names;
        for (const Relabelled& r : relabelled())
            names.append({r.field, nameFor(QLatin1String(r.field))});
        setSettings(f.data->MSVariablen, names);
        f.window->variablelesen();
        QCOMPARE(f.action("dxBarEdit3")->text(), QStringLiteral("alle Beschreibungen ersetzen durch:"));
        QCOMPARE(f.window->imagePage->cxGrid1->column(QStringLiteral("Beschreibung"))->caption(),
                 QStringLiteral("Beschreibung"));
        QCOMPARE(f.window->findChild<QRadioButton*>(QStringLiteral("cxRadioGroup3Item1"))->text(),
                 QStringLiteral("Medium"));
        QCOMPARE(f.window->findChild<QRadioButton*>(QStringLiteral("cxRadioGroup3Item2"))->text(),
                 QStringLiteral("Kategorie"));
        QCOMPARE(f.window->findChild<QRadioButton*>(QStringLiteral("cxRadioGroup1Item1"))->text(),
                 QStringLiteral("Bildverwaltung"));
        // The hint of a relabelled entry keeps its design text.
        QCOMPARE(f.action("dxBarEdit4")->statusTip(), QStringLiteral("alle Produktgruppen1 ersetzen durch:"));
    }

    void headingTypedOnTheHtmlTab_data()
    {
        QTest::addColumn<bool>("cancelFirst");
        QTest::addColumn<QString>("heading");
        QTest::newRow("page change saves it") << false << QStringLiteral("Meine Überschrift");
        QTest::newRow("cancel discards it") << true << QStringLiteral("Bildergalerie");
    }

    void headingTypedOnTheHtmlTab()
    {
        QFETCH(bool, cancelFirst);
        QFETCH(QString, heading);
        WindowFixture f;
        TableObject* settings = f.data->MSVariablen;
        f.window->cxPageControl1->setCurrentIndex(MainWindow::SettingsPage);
        QCOMPARE(f.context.values.HtmlHeading, QStringLiteral("Bildergalerie"));

        auto* editor = f.window->findChild<QLineEdit*>(QStringLiteral("cxDBTextEditWert"));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("Meine Überschrift"));
        QCOMPARE(settings->state(), TableObject::State::Edit);
        // Typed, not yet read: the galleries keep the old heading.
        QCOMPARE(f.context.values.HtmlHeading, QStringLiteral("Bildergalerie"));

        if (cancelFirst) {
            auto* cancel = f.window->findChild<QToolButton*>(QStringLiteral("cxDBNavigator1Cancel"));
            QVERIFY(cancel && cancel->isEnabled());
            cancel->click();
            QCOMPARE(editor->text(), QStringLiteral("Bildergalerie"));
        }
        f.window->cxPageControl1->setCurrentIndex(MainWindow::ImagesPage);

        QCOMPARE(settings->state(), TableObject::State::Browse);
        QCOMPARE(f.context.values.HtmlHeading, heading);
        QCOMPARE(storedSetting(*f.data, "Wert").toString(), heading);
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void settingsTableWithoutRows()
    {
        WindowFixture f([](DataModule& d) {
            d.MSVariablen->first();
            d.MSVariablen->deleteRecord();
        });
        f.context.values.HtmlHeading = QStringLiteral("alt");
        f.context.values.HtmlFontName = QStringLiteral("alt");
        f.window->variablelesen();

        QCOMPARE(f.context.values.HtmlHeading, QString());
        QCOMPARE(f.context.values.HtmlFontName, QString());
        QCOMPARE(f.context.values.HtmlTableWidth, QStringLiteral("0"));
        for (const Relabelled& r : relabelled()) {
            QString header = QStringLiteral("<nicht gelesen>");
            const QString expected = QString::fromUtf8(r.text).arg(QString());
            QVERIFY2(shownText(f, r, &header) == expected, r.target);
            if (r.kind == Shown::Column)
                QVERIFY2(header.isEmpty(), r.target);
        }
        QCOMPARE(f.action("dxBarEdit2")->text(), QStringLiteral("alle  Werte ersetzen durch:"));

        // Typing a name starts the settings record; the next tab change saves and applies it.
        QTabWidget* tabs = f.window->setupPage->PageControl1;
        f.window->cxPageControl1->setCurrentIndex(MainWindow::SettingsPage);
        tabs->setCurrentIndex(1);
        auto* editor = f.window->findChild<QLineEdit*>(QStringLiteral("cxDBTextEdita1"));
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("Marke"));
        QCOMPARE(editor->text(), QStringLiteral("Marke"));
        tabs->setCurrentIndex(0);

        QCOMPARE(f.data->MSVariablen->state(), TableObject::State::Browse);
        QCOMPARE(f.data->countRows(QStringLiteral("Variablen")), 1);
        QCOMPARE(storedSetting(*f.data, "a1").toString(), QStringLiteral("Marke"));
        QCOMPARE(f.window->findChild<QLabel*>(QStringLiteral("Label13"))->text(), QStringLiteral("Marke"));
        QCOMPARE(f.action("Aut1")->text(), QStringLiteral("Marke aus Datei&pfad ableiten"));
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void fontButton_data()
    {
        QTest::addColumn<bool>("withoutRows");
        QTest::newRow("settings record") << false;
        QTest::newRow("settings table without rows") << true;
    }

    void fontButton()
    {
        QFETCH(bool, withoutRows);
        WindowFixture f([&](DataModule& d) {
            if (withoutRows) {
                d.MSVariablen->first();
                d.MSVariablen->deleteRecord();
            }
        });
        auto* button = f.window->findChild<QPushButton*>(QStringLiteral("SpeedButton2"));
        auto* display = f.window->findChild<QLineEdit*>(QStringLiteral("cxDBTextEditHTMLSchriftart"));
        QVERIFY(button && display);
        QVERIFY(display->isReadOnly());
        f.dialogs.fontAnswers.enqueue(QStringLiteral("DejaVu Sans"));
        f.dialogs.fontAnswers.enqueue(QString());

        // The stored font does not preset the dialog; the first use starts from the design font.
        button->click();
        QCOMPARE(f.dialogs.fontRequests, QStringList{QStringLiteral("MS Sans Serif")});
        QCOMPARE(f.context.values.HtmlFontName, QStringLiteral("DejaVu Sans"));
        QCOMPARE(storedSetting(*f.data, "HTMLSchriftart").toString(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(display->text(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(f.data->MSVariablen->state(), TableObject::State::Browse);

        button->click();
        QCOMPARE(f.dialogs.fontRequests, (QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")}));
        QCOMPARE(storedSetting(*f.data, "HTMLSchriftart").toString(), QStringLiteral("Times New Roman"));
        QCOMPARE(display->text(), QStringLiteral("Times New Roman"));

        QCOMPARE(f.data->countRows(QStringLiteral("Variablen")), 1);
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void cleanUpItem_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("emptied");
        QTest::addColumn<QString>("count");
        auto row = [](const char* item, const QString& question, const char* label, QStringList emptied,
                      const char* count) {
            QTest::newRow(item) << QString::fromLatin1(item) << question << QString::fromLatin1(label) << emptied
                                << QString::fromUtf8(count);
        };
        row("cxRadioGroup1Item1", QStringLiteral("Alle Bilddaten wirklich löschen ?"), "cxLabel1",
            {QStringLiteral("Bilddaten")}, "3 Datensätze gelöscht");
        row("cxRadioGroup1Item2", QStringLiteral("Alle DVD - CD Daten  wirklich löschen ?"), "cxLabel2",
            {QStringLiteral("archiv00"), QStringLiteral("Archiv01")}, "2 und 5 jeweils Datensätze gelöscht");
        row("cxRadioGroup1Item3", QStringLiteral("Alle Medien Daten  wirklich löschen ?"), "cxLabel3",
            {QStringLiteral("Media")}, "4 Datensätze gelöscht");
        row("cxRadioGroup2Item1", QStringLiteral("Marke wirklich löschen ?"), "cxLabel5", {QStringLiteral("Typen")},
            "6 Datensätze gelöscht");
        row("cxRadioGroup2Item2", QStringLiteral("Modell & Typ wirklich löschen ?"), "cxLabel4",
            {QStringLiteral("Spezialuniversalprodukt")}, "7 Datensätze gelöscht");
        row("cxRadioGroup2Item3", QStringLiteral("Größe/Übersicht wirklich löschen ?"), "cxLabel6",
            {QStringLiteral("Produktbezeichnung")}, "8 Datensätze gelöscht");
        row("cxRadioGroup2Item4", QStringLiteral("Außenspiegel Ölfilter Lüfter 1 wirklich löschen ?"), "cxLabel7",
            {QStringLiteral("Produktbildvariante")}, "9 Datensätze gelöscht");
        row("cxRadioGroup2Item5", QStringLiteral("&Zubehör wirklich löschen ?"), "cxLabel8",
            {QStringLiteral("Sonstiges")}, "10 Datensätze gelöscht");
        row("cxRadioGroup3Item1", QStringLiteral("Träger wirklich löschen ?"), "cxLabel9", {QStringLiteral("cdmedium")},
            "11 Datensätze gelöscht");
        row("cxRadioGroup3Item2", QStringLiteral("Sparte & Art wirklich löschen ?"), "cxLabel10",
            {QStringLiteral("cdrubrik")}, "12 Datensätze gelöscht");
        row("cxRadioGroup3Item3", QStringLiteral("Regal wirklich löschen ?"), "cxLabel11",
            {QStringLiteral("cdlagerort")}, "1234 Datensätze gelöscht");
    }

    void cleanUpItem()
    {
        QFETCH(QString, item);
        QFETCH(QString, question);
        QFETCH(QString, label);
        QFETCH(QStringList, emptied);
        QFETCH(QString, count);
        QTemporaryDir pictures;
        WindowFixture f([&](DataModule& d) { fillCatalogue(d, pictures.path()); });
        // The questions take the names as they are stored when the item is chosen, read or not.
        QList<std::pair<const char*, QVariant>> names;
        for (const char* field : {"a1", "a2", "a3", "a4", "a5", "b3", "b4", "b5"})
            names.append({field, nameFor(QLatin1String(field))});
        setSettings(f.data->MSVariablen, names);
        const QHash<QString, int> before = rowCounts(*f.data);

        auto* choice = f.window->findChild<QRadioButton*>(item);
        auto* result = f.window->findChild<QLabel*>(label);
        QVERIFY(choice && result);
        QVERIFY(result->isHidden());

        choice->click(); // answered with No
        QCOMPARE(f.dialogs.confirmations, QStringList{question});
        QVERIFY(result->isHidden());
        QCOMPARE(rowCounts(*f.data), before);

        f.dialogs.confirmAnswers.enqueue(true);
        choice->click();
        QCOMPARE(f.dialogs.confirmations, (QStringList{question, question}));
        QVERIFY(!result->isHidden());
        QCOMPARE(result->text(), count);
        QVERIFY(choice->isChecked());
        QHash<QString, int> expected = before;
        for (const QString& table : emptied) {
            expected[table] = 0;
            QCOMPARE(tableObject(*f.data, table)->recordCount(), 0);
        }
        QCOMPARE(rowCounts(*f.data), expected);

        // A later No keeps the label's text.
        choice->click();
        QCOMPARE(f.dialogs.confirmations.size(), 3);
        QCOMPARE(result->text(), count);

        // Only rows go: nothing on disk is touched.
        for (const char* file : {"a.jpg", "b.jpg", "c.jpg", "thumbnail/TN_a.jpg", "image_1.htm"})
            QVERIFY2(QFile::exists(pictures.filePath(QLatin1String(file))), file);
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void cleanUpOfEmptyTableWithEmptyName()
    {
        WindowFixture f;
        setSettings(f.data->MSVariablen, {{"a3", QVariant()}});
        QCOMPARE(f.data->countRows(QStringLiteral("Produktbezeichnung")), 0);
        f.dialogs.confirmAnswers.enqueue(true);
        f.window->findChild<QRadioButton*>(QStringLiteral("cxRadioGroup2Item3"))->click();
        QCOMPARE(f.dialogs.confirmations, QStringList{QStringLiteral(" wirklich löschen ?")});
        QCOMPARE(f.window->findChild<QLabel*>(QStringLiteral("cxLabel6"))->text(),
                 QStringLiteral("0 Datensätze gelöscht"));
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void cleanUpOfDiscs_data()
    {
        QTest::addColumn<int>("current"); // disc row; -1: a new disc being typed
        QTest::newRow("first disc current") << 0;
        QTest::newRow("seventh disc current") << 6;
        QTest::newRow("last disc current") << 11;
        QTest::newRow("new disc not yet saved") << -1;
    }

    void cleanUpOfDiscs()
    {
        QFETCH(int, current);
        WindowFixture f([](DataModule& d) {
            fillTo(d, "archiv00", "recnr, Name", "i, 'Scheibe ' || i", 12);
            fillTo(d, "Archiv01", "fortlfnr, Liednr, Titel", "(i - 1) / 20 + 1, i, 'Lied ' || i", 240);
            rereadAll(d);
        });
        TableObject* discs = f.data->MSarchiv00;
        CatalogueGrid* discGrid = f.window->discPage->cxGrid2;
        CatalogueGrid* contentGrid = f.window->discPage->cxGrid3;
        if (current >= 0) {
            discs->moveTo(current);
            QCOMPARE(contentGrid->view()->model()->rowCount(), 20);
        } else {
            discs->append();
            discs->setValue(QStringLiteral("Name"), QStringLiteral("Neue Scheibe"));
        }
        QCOMPARE(f.data->countRows(QStringLiteral("archiv00")), 12);

        f.dialogs.confirmAnswers.enqueue(true);
        f.window->findChild<QRadioButton*>(QStringLiteral("cxRadioGroup1Item2"))->click();

        QCOMPARE(f.window->findChild<QLabel*>(QStringLiteral("cxLabel2"))->text(),
                 QStringLiteral("12 und 240 jeweils Datensätze gelöscht"));
        QCOMPARE(f.data->countRows(QStringLiteral("archiv00")), 0);
        QCOMPARE(f.data->countRows(QStringLiteral("Archiv01")), 0);
        QCOMPARE(discGrid->view()->model()->rowCount(), 0);
        QCOMPARE(contentGrid->view()->model()->rowCount(), 0);
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void emptiedLookupListKeepsTheCatalogueTexts()
    {
        WindowFixture f([](DataModule& d) {
            execute(d, QStringLiteral("INSERT INTO Typen (Typen) VALUES ('Audi'), ('BMW')"));
            execute(d, QStringLiteral("INSERT INTO Bilddaten (Dateipfad, Dateiname, Automarke) VALUES "
                                      "('file:///bilder/', 'a.jpg', 'Audi'), ('file:///bilder/', 'b.jpg', 'BMW')"));
            rereadAll(d);
        });
        auto* combo = f.window->findChild<LookupCombo*>(QStringLiteral("cxDBLookupComboBoxAutomarke"));
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->currentText(), QStringLiteral("Audi"));

        f.dialogs.confirmAnswers.enqueue(true);
        f.window->findChild<QRadioButton*>(QStringLiteral("cxRadioGroup2Item1"))->click();

        QCOMPARE(f.window->findChild<QLabel*>(QStringLiteral("cxLabel5"))->text(),
                 QStringLiteral("2 Datensätze gelöscht"));
        QCOMPARE(combo->count(), 0);
        QCOMPARE(f.data->countRows(QStringLiteral("Typen")), 0);
        // The records keep what they store, and show it.
        QSqlQuery q(f.data->database());
        QVERIFY(q.exec(QStringLiteral("SELECT Automarke FROM Bilddaten ORDER BY Dateiname")));
        QStringList stored;
        while (q.next())
            stored.append(q.value(0).toString());
        QCOMPARE(stored, (QStringList{QStringLiteral("Audi"), QStringLiteral("BMW")}));
        CatalogueGrid* grid = f.window->imagePage->cxGrid1;
        const int column = grid->column(QStringLiteral("Automarke"))->position();
        QStringList shown;
        for (int row = 0; row < grid->view()->model()->rowCount(); ++row)
            shown.append(grid->view()->model()->index(row, column).data().toString());
        shown.sort();
        QCOMPARE(shown, stored);
        QCOMPARE(combo->currentText(), f.data->MSBild->value(QStringLiteral("Automarke")).toString());
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void failingStatement_data()
    {
        QTest::addColumn<bool>("locked"); // false: the disc rows refuse deletion
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("edited"); // table object with a pending edit
        QTest::addColumn<QString>("field");
        QTest::newRow("catalogue locked by another connection")
            << true << QStringLiteral("cxRadioGroup1Item1") << QStringLiteral("cxLabel1")
            << QStringLiteral("3 Datensätze gelöscht") << QStringLiteral("MSBild") << QStringLiteral("Beschreibung");
        QTest::newRow("disc rows refuse deletion")
            << false << QStringLiteral("cxRadioGroup1Item2") << QStringLiteral("cxLabel2")
            << QStringLiteral("2 und 5 jeweils Datensätze gelöscht") << QStringLiteral("MSarchiv00")
            << QStringLiteral("Name");
    }

    void failingStatement()
    {
        QFETCH(bool, locked);
        QFETCH(QString, item);
        QFETCH(QString, label);
        QFETCH(QString, count);
        QFETCH(QString, edited);
        QFETCH(QString, field);
        QTemporaryDir pictures;
        WindowFixture f([&](DataModule& d) { fillCatalogue(d, pictures.path()); });
        const QHash<QString, int> before = rowCounts(*f.data);
        // Typed on the catalogue page, not yet saved, when the clean-up is chosen.
        TableObject* pending = f.data->table(edited);
        pending->setValue(field, QStringLiteral("getippt"));
        const QString other = QStringLiteral("zweiter-Zugriff");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), other);
            db.setDatabaseName(f.context.paths.database);
            QVERIFY(db.open());
            if (locked)
                QVERIFY(QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE")));
            else
                QVERIFY(QSqlQuery(db).exec(QStringLiteral("CREATE TRIGGER keepDiscs BEFORE DELETE ON archiv00 "
                                                          "BEGIN SELECT RAISE(ABORT, 'Scheiben gesperrt'); END")));
        }

        f.dialogs.confirmAnswers.enqueue(true);
        f.window->findChild<QRadioButton*>(item)->click();

        {
            QSqlDatabase db = QSqlDatabase::database(other);
            if (locked)
                QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(other);

        QCOMPARE(f.dialogs.errors.size(), 1);
        QVERIFY2(f.dialogs.errors[0].contains(QLatin1String("DELETE FROM")), qPrintable(f.dialogs.errors[0]));
        auto* result = f.window->findChild<QLabel*>(label);
        QVERIFY(!result->isHidden());
        QCOMPARE(result->text(), count);
        QCOMPARE(rowCounts(*f.data), before);
        QCOMPARE(f.data->MSBild->recordCount(), before[QStringLiteral("Bilddaten")]);
        QCOMPARE(f.data->MSarchiv00->recordCount(), before[QStringLiteral("archiv00")]);
        // What was typed is still there, and can be saved.
        QCOMPARE(pending->state(), TableObject::State::Edit);
        QCOMPARE(pending->value(field).toString(), QStringLiteral("getippt"));
        pending->post();
        QSqlQuery q(f.data->database());
        QVERIFY(
            q.exec(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = 'getippt'").arg(pending->tableName(), field)));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
    }
};

QTEST_MAIN(TestSetup)
#include "tst_setup.moc"
