#include "app/commands/CommandTable.h"
#include "app/commands/EditEntryAction.h"
#include "platform/CommandGuard.h"
#include "platform/OrdnixError.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

class RecordingReporter final : public ErrorReporter
{
public:
    void showError(const QString& message) override { errors.append(message); }
    QStringList errors;
};

// The handler names of the command table; the recorder binds all of them, so a test sees which
// one an entry really runs.
const QStringList allHandlers = {
    QStringLiteral("SelektierteDatenstzeimIEanzeigen1Click"),
    QStringLiteral("actExitExecute"),
    QStringLiteral("newopenClick"),
    QStringLiteral("ffnenselektierteDatenstze1Click"),
    QStringLiteral("OhneVorschauffnenalleDatenstze1Click"),
    QStringLiteral("OhneVorschauffnenselektierteDatenstze1Click"),
    QStringLiteral("AlleMediendatenladen1Click"),
    QStringLiteral("Aut1Click"),
    QStringLiteral("AutomarkeausDateinameableiten1Click"),
    QStringLiteral("Bildauflsungberechnen1Click"),
    QStringLiteral("Spaltenhinzufgenentfernen1Click"),
    QStringLiteral("Optionen1Click"),
    QStringLiteral("actGridNativeStyleExecute"),
    QStringLiteral("actMultiSelectExecute"),
    QStringLiteral("actShowIndicatorExecute"),
    QStringLiteral("actShowGroupByBoxExecute"),
    QStringLiteral("actColumnAutoWidthExecute"),
    QStringLiteral("miStorageActiveClick"),
    QStringLiteral("miStoringGridLookFeelClick"),
    QStringLiteral("Store1Click"),
    QStringLiteral("Restore1Click"),
    QStringLiteral("miIniStoreTypeClick"),
    QStringLiteral("miRegistryStoreTypeClick"),
    QStringLiteral("miMemoryStoreTypeClick"),
    QStringLiteral("Info1Click"),
    QStringLiteral("dxBarButton10Click"),
    QStringLiteral("dxBarButton9Click"),
    QStringLiteral("dxBarButton1Click"),
    QStringLiteral("dxBarButton2Click"),
    QStringLiteral("dxBarButton3Click"),
    QStringLiteral("dxBarButton4Click"),
    QStringLiteral("dxBarButton5Click"),
    QStringLiteral("dxBarButton12Click"),
    QStringLiteral("dxBarButton13Click"),
    QStringLiteral("dxBarButton14Click"),
    QStringLiteral("dxBarButton15Click"),
    QStringLiteral("dxBarButton16Click"),
    QStringLiteral("dxBarEdit2Change"),
    QStringLiteral("dxBarEdit3Change"),
    QStringLiteral("dxBarEdit4Change"),
    QStringLiteral("dxBarEdit5Change"),
    QStringLiteral("dxBarEdit6Change"),
    QStringLiteral("dxBarEdit8Change"),
    QStringLiteral("dxBarEdit9Change"),
    QStringLiteral("dxBarEdit10Change"),
    QStringLiteral("dxBarLargeButton1Click"),
    QStringLiteral("Image1Click"),
    QStringLiteral("SpeedButton1Click"),
};

struct HandlerRecorder
{
    explicit HandlerRecorder(CommandTable& table)
    {
        for (const QString& handler : allHandlers) {
            table.bind(handler, [this, handler] { runs.append(handler); });
            table.bindText(handler, [this, handler](const QString& text) { runs.append(handler + u':' + text); });
        }
    }
    QStringList runs;
};

QStringList words(const QString& text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// Names of the menus, menu bar and toolbars that show the action, sorted.
QStringList placesOf(QAction* action)
{
    QStringList places;
    for (QObject* shown : action->associatedObjects()) {
        if (qobject_cast<QMenu*>(shown) || qobject_cast<QMenuBar*>(shown) || qobject_cast<QToolBar*>(shown))
            places.append(shown->objectName());
    }
    places.sort();
    return places;
}

// A menu's or toolbar's entries by name in order, "|" for a divider.
QString contentsOf(QWidget* container)
{
    QStringList names;
    for (QAction* action : container->actions())
        names.append(action->isSeparator() ? QStringLiteral("|") : action->objectName());
    return names.join(QLatin1Char(' '));
}

QAction* itemOf(const CommandTable& table, const QString& name)
{
    if (QMenu* menu = table.menu(name))
        return menu->menuAction();
    return table.action(name);
}

} // namespace

class TestCommandTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { CommandGuard::setReporter(&m_reporter); }
    void cleanup()
    {
        CommandGuard::setReporter(nullptr);
        m_reporter.errors.clear();
    }

    void everyEntryIsDeclaredOnce()
    {
        QStringList declared;
        for (const CommandEntry& entry : CommandTable::entries())
            declared.append(entry.name);
        QCOMPARE(declared.size(), 55); // the rows of entry_data
        QCOMPARE(QSet<QString>(declared.begin(), declared.end()).size(), declared.size());

        QMainWindow window;
        CommandTable table(&window);
        for (const QString& name : declared)
            QCOMPARE(window.findChildren<QAction*>(name).size(), 1);
    }

    void entry_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint"); // empty: no hint
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("check"); // "on", "off" or empty for a plain entry
        QTest::addColumn<QString>("places");

        const auto row = [](const char* name, const QString& caption, const QString& hint, const char* shortcut,
                            const char* handler, const char* check, const char* places) {
            QTest::newRow(name) << caption << hint << QString::fromLatin1(shortcut) << QString::fromLatin1(handler)
                                << QString::fromLatin1(check) << QString::fromLatin1(places);
        };
        const QString none;

        row("SelektierteDatenstzeimIEanzeigen2", QStringLiteral("Selektierte Datensätze im &IE anzeigen"),
            QStringLiteral("Alle markierten Datensätze werden im Internet Explorer dargestellt"), "Alt+I",
            "SelektierteDatenstzeimIEanzeigen1Click", "", "Datei1 dxBarPopupMenu1");
        row("beenden1", QStringLiteral("E&xit"), QStringLiteral("Press to quit the demo-program"), "Alt+X",
            "actExitExecute", "", "Datei1");
        row("newopen", QStringLiteral("Mit Vorschau einscannen - &alle Datensätze"),
            QStringLiteral("Mit Vorschau einscannen - alle Datensätze"), "Alt+A", "newopenClick", "",
            "Bilderladen1 dxBarPopupMenu1");
        row("ffnenselektierteDatenstze1", QStringLiteral("Mit Vorschau einscannen - &selektierte Datensätze"),
            QStringLiteral("Mit Vorschau einscannen - selektierte Datensätze"), "", "ffnenselektierteDatenstze1Click",
            "", "Bilderladen1 dxBarPopupMenu1");
        row("OhneVorschauffnenalleDatenstze1", QStringLiteral("Ohne Vorschau einscannen - alle Datensätze"),
            QStringLiteral("Ohne Vorschau einscannen - alle Datensätze"), "", "OhneVorschauffnenalleDatenstze1Click",
            "", "Bilderladen1 dxBarPopupMenu1");
        row("OhneVorschauffnenselektierteDatenstze1",
            QStringLiteral("Ohne Vorschau einscannen - selektierte Datensätze"),
            QStringLiteral("Ohne Vorschau einscannen - selektierte Datensätze"), "",
            "OhneVorschauffnenselektierteDatenstze1Click", "", "Bilderladen1 dxBarPopupMenu1");
        row("AlleMediendatenladen1", QStringLiteral("Alle Medien einscannen"), QStringLiteral("Alle Medien einscannen"),
            "", "AlleMediendatenladen1Click", "", "Medialaden1 dxBarPopupMenu3 dxBarPopupMenu4");
        row("Aut1", QStringLiteral("Automarke aus Datei&pfad ableiten"), none, "", "Aut1Click", "",
            "Extra1 dxBarPopupMenu1");
        row("AutomarkeausDateinameableiten1", QStringLiteral("Automarke aus Datei&name ableiten"), none, "",
            "AutomarkeausDateinameableiten1Click", "", "Extra1 dxBarPopupMenu1");
        row("Bildauflsungberechnen1", QStringLiteral("&Bildauflösung berechnen"), none, "",
            "Bildauflsungberechnen1Click", "", "Extra1 dxBarPopupMenu1");
        row("Spaltenhinzufgenentfernen1", QStringLiteral("&Spalten hinzufügen - entfernen"), none, "",
            "Spaltenhinzufgenentfernen1Click", "", "Extra1 dxBarPopupMenu1");
        row("Optionen1", QStringLiteral("&Optionen"), none, "Alt+O", "Optionen1Click", "", "Setup1");
        row("miNativeStyle", QStringLiteral("&Native Style"),
            QStringLiteral("Setting this option changes the appearance of grid items to Native style"), "",
            "actGridNativeStyleExecute", "", "miGridLookandFeel");
        row("MultiSelect1", QStringLiteral("&Multi Select"),
            QStringLiteral("Determines whether multiple rows can be selected within a view"), "",
            "actMultiSelectExecute", "on", "Optionen2");
        row("Indikator1", QStringLiteral("&Indicator"),
            QStringLiteral("Determines whether the row indicator is visible"), "", "actShowIndicatorExecute", "on",
            "Optionen2");
        row("myShowGroupByBox", QStringLiteral("GroupByBox"),
            QStringLiteral("Determines whether the grouping panel is visible"), "", "actShowGroupByBoxExecute", "on",
            "Optionen2");
        row("ColumnAutoWith1", QStringLiteral("Column Auto Width"),
            QStringLiteral("Determines whether column widths are changed in order to display all columns without "
                           "using the horizontal scrollbar"),
            "", "actColumnAutoWidthExecute", "", "Optionen2");
        row("miStorageActive", QStringLiteral("Aktuelle Einstellungen speichern"), none, "", "miStorageActiveClick",
            "on", "Speicherung1");
        row("miStoringGridLookFeel", QStringLiteral("Aktuelle Tabelleneinstellungen speichern"), none, "",
            "miStoringGridLookFeelClick", "on", "Speicherung1");
        row("Store1", QStringLiteral("Ihre Konfiguration speichern"), none, "Alt+S", "Store1Click", "",
            "Speicherung1 dxBarPopupMenu1");
        row("Restore1", QStringLiteral("Ihre letzte Konfiguration laden"), none, "Alt+L", "Restore1Click", "",
            "Speicherung1 dxBarPopupMenu1");
        row("miIniStoreType", QStringLiteral("&ini File"), none, "", "miIniStoreTypeClick", "on", "miStorageType");
        row("miRegistryStoreType", QStringLiteral("&Registry"), none, "", "miRegistryStoreTypeClick", "off",
            "miStorageType");
        row("miMemoryStoreType", QStringLiteral("&Memory"), none, "", "miMemoryStoreTypeClick", "off", "miStorageType");
        row("miFlat", QStringLiteral("Flat"), none, "", "", "off", "KInd1");
        row("miStandard", QStringLiteral("Standard"), none, "", "", "off", "KInd1");
        row("miUltraFlat", QStringLiteral("Ultra Flat"), none, "", "", "on", "KInd1");
        row("Info1", QStringLiteral("&About"), QStringLiteral("About"), "", "Info1Click", "", "dxBarSubItem4");
        row("dxBarButton10", QStringLiteral("Hilfe"), QStringLiteral("Hilfe"), "", "dxBarButton10Click", "",
            "dxBarSubItem4");
        row("dxBarButton9", QStringLiteral("Quorvel"), QStringLiteral("Quorvel"), "", "dxBarButton9Click", "",
            "dxBarSubItem4");
        row("dxBarButton1", QStringLiteral("&Spalten hinzufügen - entfernen"),
            QStringLiteral("Spalten hinzufügen - entfernen"), "", "dxBarButton1Click", "", "dxBarPopupMenu2");
        row("dxBarButton2", QStringLiteral("einzelner Mediensatz anhören - anschauen"),
            QStringLiteral("einzelner Mediensatz anhören - anschauen"), "", "dxBarButton2Click", "", "dxBarPopupMenu3");
        row("dxBarButton3", QStringLiteral("Spalten hinzufügen - entfernen"),
            QStringLiteral("Spalten hinzufügen - entfernen"), "", "dxBarButton3Click", "", "dxBarPopupMenu3");
        row("dxBarButton4", QStringLiteral("Sonstiges aus Dateipfad ableiten"),
            QStringLiteral("Sonstiges aus Dateipfad ableiten"), "", "dxBarButton4Click", "", "dxBarPopupMenu3");
        row("dxBarButton5", QStringLiteral("Sonstiges1 aus Dateipfad ableiten"),
            QStringLiteral("Sonstiges1 aus Dateipfad ableiten"), "", "dxBarButton5Click", "", "dxBarPopupMenu3");
        row("dxBarButton12", QStringLiteral("CD Daten einscannen"), QStringLiteral("CD Daten einscannen"), "",
            "dxBarButton12Click", "", "dxBarPopupMenu2 dxBarPopupMenu5");
        row("dxBarButton13", QStringLiteral("Spalten hinzufügen - entfernen"),
            QStringLiteral("Spalten hinzufügen - entfernen"), "", "dxBarButton13Click", "", "dxBarPopupMenu5");
        row("dxBarButton14", QStringLiteral("einzelner Mediensatz anhören - anschauen"),
            QStringLiteral("einzelner Mediensatz anhören - anschauen"), "", "dxBarButton14Click", "",
            "dxBarPopupMenu5");
        row("dxBarButton15", QStringLiteral("CD öffnen"), QStringLiteral("CD öffnen"), "", "dxBarButton15Click", "",
            "dxBarPopupMenu2 dxBarPopupMenu5");
        row("dxBarButton16", QStringLiteral("CD schliessen"), QStringLiteral("CD schliessen"), "", "dxBarButton16Click",
            "", "dxBarPopupMenu2 dxBarPopupMenu5");
        row("dxBarEdit3", QStringLiteral("alle Beschreibungen ersetzen durch:"),
            QStringLiteral("alle Beschreibungen ersetzen durch:"), "", "dxBarEdit3Change", "", "dxBarSubItem7");
        row("dxBarEdit2", QStringLiteral("alle Kategorie2 Werte ersetzen durch:"), none, "", "dxBarEdit2Change", "",
            "dxBarSubItem7");
        row("dxBarEdit4", QStringLiteral("alle Produktgruppen1 ersetzen durch:"),
            QStringLiteral("alle Produktgruppen1 ersetzen durch:"), "", "dxBarEdit4Change", "", "dxBarSubItem7");
        row("dxBarEdit5", QStringLiteral("alle Produktgruppen2 ersetzen durch:"),
            QStringLiteral("alle Produktgruppen2 ersetzen durch:"), "", "dxBarEdit5Change", "", "dxBarSubItem7");
        row("dxBarEdit6", QStringLiteral("alle Sonstiges1 ersetzen durch:"),
            QStringLiteral("alle Sonstiges1 ersetzen durch:"), "", "dxBarEdit6Change", "", "dxBarSubItem7");
        row("dxBarEdit8", QStringLiteral("alle Beschreibungen ersetzen durch:"),
            QStringLiteral("alle Beschreibungen ersetzen durch:"), "", "dxBarEdit8Change", "", "dxBarSubItem9");
        row("dxBarEdit9", QStringLiteral("alle Sonstiges ersetzen durch:"),
            QStringLiteral("alle Sonstiges ersetzen durch:"), "", "dxBarEdit9Change", "", "dxBarSubItem9");
        row("dxBarEdit10", QStringLiteral("alle Sonstiges1 ersetzen durch:"),
            QStringLiteral("alle Sonstiges1 ersetzen durch:"), "", "dxBarEdit10Change", "", "dxBarSubItem9");
        row("dxBarLargeButton1", QStringLiteral("Bilder laden"), QStringLiteral("Bilder laden"), "",
            "dxBarLargeButton1Click", "", "ButtonsBilder");
        row("dxBarLargeButton2", QStringLiteral("Bildzoom an/aus"), QStringLiteral("Bildzoom an/aus"), "",
            "Image1Click", "", "ButtonsBilder");
        row("dxBarLargeButton3", QStringLiteral("zus. Infos an/aus"), QStringLiteral("zus. Infos an/aus"), "",
            "SpeedButton1Click", "", "ButtonsBilder");
        row("dxBarLargeButton4", QStringLiteral("CD einscannen"), QStringLiteral("CD einscannen"), "",
            "dxBarButton12Click", "", "ButtonsDVD");
        row("dxBarLargeButton5", QStringLiteral("Medien einscannen"), QStringLiteral("Medien einscannen"), "",
            "AlleMediendatenladen1Click", "", "ButtonsMedien");
        row("dxBarLargeButton6", QStringLiteral("Mediensatz anschauen/anhören"),
            QStringLiteral("Mediensatz anschauen/anhören"), "", "dxBarButton2Click", "", "ButtonsMedien");
        row("dxBarLargeButton7", QStringLiteral("Hilfe"), QStringLiteral("Hilfe"), "", "dxBarButton10Click", "",
            "ButtonsHilfe");
    }

    void entry()
    {
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(QString, shortcut);
        QFETCH(QString, handler);
        QFETCH(QString, check);
        QFETCH(QString, places);
        const QString name = QString::fromLatin1(QTest::currentDataTag());

        QMainWindow window;
        CommandTable table(&window);
        QAction* action = table.action(name);
        QVERIFY(action);
        QCOMPARE(action->objectName(), name);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->statusTip(), hint);
        if (!hint.isEmpty())
            QCOMPARE(action->toolTip(), hint);
        QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), shortcut);
        QCOMPARE(table.handlerOf(name), handler);
        QCOMPARE(action->isCheckable(), !check.isEmpty());
        QCOMPARE(action->isChecked(), check == u"on");
        QCOMPARE(placesOf(action), [&] {
            QStringList sorted = words(places);
            sorted.sort();
            return sorted;
        }());
        QVERIFY(action->isEnabled());

        // Choosing the entry runs exactly its own handler.
        HandlerRecorder recorder(table);
        QStringList expected;
        if (auto* edit = qobject_cast<EditEntryAction*>(action)) {
            edit->confirmText(QStringLiteral("Wert"));
            expected.append(handler + u":Wert");
        } else {
            action->trigger();
            if (!handler.isEmpty())
                expected.append(handler);
        }
        QCOMPARE(recorder.runs, expected);
    }

    void containers_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("contents");

        QTest::newRow("Main Menu") << QStringLiteral("Main Menu")
                                   << QStringLiteral("Datei1 Bilderladen1 Medialaden1 Extra1 Setup1 miGridLookandFeel "
                                                     "dxBarSubItem4");
        QTest::newRow("Datei1") << QStringLiteral("&Datei")
                                << QStringLiteral("SelektierteDatenstzeimIEanzeigen2 | beenden1");
        QTest::newRow("Bilderladen1") << QStringLiteral("&Bilder laden")
                                      << QStringLiteral("newopen ffnenselektierteDatenstze1 | "
                                                        "OhneVorschauffnenalleDatenstze1 "
                                                        "OhneVorschauffnenselektierteDatenstze1");
        QTest::newRow("Medialaden1") << QStringLiteral("&Media laden") << QStringLiteral("AlleMediendatenladen1");
        QTest::newRow("Extra1") << QStringLiteral("&Extra")
                                << QStringLiteral("Aut1 AutomarkeausDateinameableiten1 | Bildauflsungberechnen1 | "
                                                  "Spaltenhinzufgenentfernen1");
        QTest::newRow("Setup1") << QStringLiteral("&Setup") << QStringLiteral("Optionen1");
        QTest::newRow("miGridLookandFeel")
            << QStringLiteral("&Tabelleneinstellungen") << QStringLiteral("KInd1 miNativeStyle Optionen2 Speicherung1");
        QTest::newRow("KInd1") << QStringLiteral("Kind") << QStringLiteral("miFlat miStandard miUltraFlat");
        QTest::newRow("Optionen2") << QStringLiteral("Optionen")
                                   << QStringLiteral("MultiSelect1 | Indikator1 myShowGroupByBox ColumnAutoWith1");
        QTest::newRow("Speicherung1") << QStringLiteral("Speicherung")
                                      << QStringLiteral("miStorageActive miStoringGridLookFeel | Store1 Restore1 "
                                                        "miStorageType");
        QTest::newRow("miStorageType") << QStringLiteral("Storage Location")
                                       << QStringLiteral("miIniStoreType miRegistryStoreType miMemoryStoreType");
        QTest::newRow("dxBarSubItem4") << QStringLiteral("&Info")
                                       << QStringLiteral("Info1 dxBarButton10 | dxBarButton9");
        QTest::newRow("dxBarSubItem7") << QStringLiteral("Spaltenwerte ersetzen")
                                       << QStringLiteral("dxBarEdit3 dxBarEdit2 dxBarEdit4 dxBarEdit5 dxBarEdit6");
        QTest::newRow("dxBarSubItem9") << QStringLiteral("Spaltenwerte ersetzen")
                                       << QStringLiteral("dxBarEdit8 dxBarEdit9 dxBarEdit10");
        QTest::newRow("dxBarPopupMenu1")
            << QString()
            << QStringLiteral("newopen ffnenselektierteDatenstze1 | OhneVorschauffnenalleDatenstze1 "
                              "OhneVorschauffnenselektierteDatenstze1 | SelektierteDatenstzeimIEanzeigen2 | Aut1 "
                              "AutomarkeausDateinameableiten1 | dxBarSubItem7 | Spaltenhinzufgenentfernen1 | "
                              "Bildauflsungberechnen1 | Store1 Restore1");
        QTest::newRow("dxBarPopupMenu2") << QString()
                                         << QStringLiteral(
                                                "dxBarButton12 | dxBarButton15 dxBarButton16 | dxBarButton1");
        QTest::newRow("dxBarPopupMenu3") << QString()
                                         << QStringLiteral("AlleMediendatenladen1 | dxBarButton2 | dxBarSubItem9 | "
                                                           "dxBarButton3 | dxBarButton4 dxBarButton5");
        QTest::newRow("dxBarPopupMenu4") << QString() << QStringLiteral("AlleMediendatenladen1");
        QTest::newRow("dxBarPopupMenu5") << QString()
                                         << QStringLiteral("dxBarButton12 | dxBarButton14 | dxBarButton15 "
                                                           "dxBarButton16 | dxBarButton13");
        QTest::newRow("ButtonsBilder") << QStringLiteral("Buttons Bilder")
                                       << QStringLiteral("dxBarLargeButton1 dxBarLargeButton2 dxBarLargeButton3");
        QTest::newRow("ButtonsDVD") << QStringLiteral("Buttons CD") << QStringLiteral("dxBarLargeButton4");
        QTest::newRow("ButtonsMedien") << QStringLiteral("Buttons Medien")
                                       << QStringLiteral("dxBarLargeButton5 dxBarLargeButton6");
        QTest::newRow("ButtonsHilfe") << QStringLiteral("Buttons Hilfe") << QStringLiteral("dxBarLargeButton7");
    }

    void containers()
    {
        QFETCH(QString, title);
        QFETCH(QString, contents);
        const QString name = QString::fromLatin1(QTest::currentDataTag());

        QMainWindow window;
        CommandTable table(&window);
        auto* container = window.findChild<QWidget*>(name);
        QVERIFY(container);
        QCOMPARE(contentsOf(container), contents);
        if (auto* menu = qobject_cast<QMenu*>(container)) {
            QCOMPARE(table.menu(name), menu);
            QCOMPARE(menu->title(), title);
            QVERIFY(!menu->isVisible());
        } else {
            QCOMPARE(container->windowTitle(), title);
        }
    }

    void placementOnTheWindow()
    {
        QMainWindow window;
        CommandTable table(&window);
        QCOMPARE(window.menuBar(), table.menuBar());
        QCOMPARE(table.menuBar()->objectName(), QStringLiteral("Main Menu"));

        const QStringList bars = {QStringLiteral("ButtonsBilder"), QStringLiteral("ButtonsDVD"),
                                  QStringLiteral("ButtonsMedien"), QStringLiteral("ButtonsHilfe")};
        for (const QString& name : bars) {
            QToolBar* bar = table.toolBar(name);
            QVERIFY(bar);
            QCOMPARE(window.toolBarArea(bar), Qt::TopToolBarArea);
            QVERIFY(!window.toolBarBreak(bar));
            QCOMPARE(bar->iconSize(), QSize(32, 32));
            QCOMPARE(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
            for (QAction* action : bar->actions()) {
                auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
                QVERIFY(button);
                QCOMPARE(button->toolTip(), action->text());
                // The desktop icon theme is found even without a desktop session.
                QVERIFY2(!action->icon().isNull(), qPrintable(action->objectName()));
            }
        }
    }

    void dropDownButton()
    {
        QMainWindow window;
        CommandTable table(&window);
        HandlerRecorder recorder(table);
        QAction* load = table.action(QStringLiteral("dxBarLargeButton1"));
        auto* button =
            qobject_cast<QToolButton*>(table.toolBar(QStringLiteral("ButtonsBilder"))->widgetForAction(load));
        QVERIFY(button);
        QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
        QCOMPARE(button->menu(), table.menu(QStringLiteral("dxBarPopupMenu1")));

        button->click();
        QCOMPARE(recorder.runs, QStringList{QStringLiteral("dxBarLargeButton1Click")});
    }

    void sharedEntryIsOneAction()
    {
        QMainWindow window;
        CommandTable table(&window);
        QAction* inMenu = nullptr;
        for (QAction* action : table.menu(QStringLiteral("Bilderladen1"))->actions()) {
            if (action->objectName() == u"newopen")
                inMenu = action;
        }
        QAction* inPopup = table.menu(QStringLiteral("dxBarPopupMenu1"))->actions().constFirst();
        QCOMPARE(inMenu, inPopup);

        inPopup->setText(QStringLiteral("Marke aus Datei&pfad ableiten"));
        inPopup->setEnabled(false);
        QCOMPARE(inMenu->text(), QStringLiteral("Marke aus Datei&pfad ableiten"));
        QVERIFY(!inMenu->isEnabled());
    }

    void pageEnabling_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("enabled");

        QTest::newRow("image") << 0
                               << QStringLiteral("Extra1 Bilderladen1 SelektierteDatenstzeimIEanzeigen2 "
                                                 "dxBarLargeButton1 dxBarLargeButton2 dxBarLargeButton3 "
                                                 "dxBarLargeButton4 dxBarLargeButton5");
        QTest::newRow("disc") << 1 << QStringLiteral("dxBarLargeButton1 dxBarLargeButton4 dxBarLargeButton5");
        QTest::newRow("media") << 2
                               << QStringLiteral("Medialaden1 dxBarLargeButton1 dxBarLargeButton4 dxBarLargeButton5 "
                                                 "dxBarLargeButton6");
        QTest::newRow("setup") << 3 << QStringLiteral("dxBarLargeButton1 dxBarLargeButton4 dxBarLargeButton5");
    }

    void pageEnabling()
    {
        QFETCH(int, page);
        QFETCH(QString, enabled);
        const QStringList on = words(enabled);
        const QStringList items = {QStringLiteral("Extra1"),
                                   QStringLiteral("Bilderladen1"),
                                   QStringLiteral("Medialaden1"),
                                   QStringLiteral("SelektierteDatenstzeimIEanzeigen2"),
                                   QStringLiteral("dxBarLargeButton1"),
                                   QStringLiteral("dxBarLargeButton2"),
                                   QStringLiteral("dxBarLargeButton3"),
                                   QStringLiteral("dxBarLargeButton4"),
                                   QStringLiteral("dxBarLargeButton5"),
                                   QStringLiteral("dxBarLargeButton6")};

        QMainWindow window;
        CommandTable table(&window);
        // Start from the opposite state, so every item must be set, not only some.
        for (const QString& item : items)
            itemOf(table, item)->setEnabled(!on.contains(item));

        table.applyPageEnabling(page);

        for (const QString& item : items)
            QVERIFY2(itemOf(table, item)->isEnabled() == on.contains(item), qPrintable(item));
        // A disabled submenu leaves its entries usable elsewhere, and "Kind" never opens.
        QVERIFY(table.action(QStringLiteral("newopen"))->isEnabled());
        QVERIFY(table.action(QStringLiteral("Aut1"))->isEnabled());
        QVERIFY(!table.menu(QStringLiteral("KInd1"))->menuAction()->isEnabled());
        // The toolbar button follows its entry.
        QToolBar* bar = table.toolBar(QStringLiteral("ButtonsBilder"));
        QCOMPARE(bar->widgetForAction(table.action(QStringLiteral("dxBarLargeButton2")))->isEnabled(),
                 on.contains(QStringLiteral("dxBarLargeButton2")));
    }

    void kindSubmenuStaysShut()
    {
        QMainWindow window;
        CommandTable table(&window);
        QMenu* kind = table.menu(QStringLiteral("KInd1"));
        QVERIFY(!kind->menuAction()->isEnabled());
        for (int page = 0; page < 4; ++page) {
            table.applyPageEnabling(page);
            QVERIFY(!kind->menuAction()->isEnabled());
        }

        QActionGroup* group = table.action(QStringLiteral("miFlat"))->actionGroup();
        QVERIFY(group);
        QVERIFY(group->isExclusive());
        QCOMPARE(group->actions().size(), 3);
        QCOMPARE(group->checkedAction(), table.action(QStringLiteral("miUltraFlat")));
    }

    void checkMarks_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("bound");
        QTest::addColumn<bool>("markSeenByHandler");
        QTest::addColumn<bool>("markAfter");

        // Grid options: the handler inverts the mark itself, so choosing must not flip it first.
        QTest::newRow("grid option, handler inverts") << QStringLiteral("MultiSelect1") << true << true << false;
        QTest::newRow("grid option, not bound") << QStringLiteral("Indikator1") << false << true << true;
        // Storage switches: the click toggles the mark, then the handler sees the new state.
        QTest::newRow("storage switch") << QStringLiteral("miStorageActive") << true << false << false;
        QTest::newRow("storage location") << QStringLiteral("miRegistryStoreType") << true << true << true;
    }

    void checkMarks()
    {
        QFETCH(QString, entry);
        QFETCH(bool, bound);
        QFETCH(bool, markSeenByHandler);
        QFETCH(bool, markAfter);

        QMainWindow window;
        CommandTable table(&window);
        QAction* action = table.action(entry);
        const bool handlerInverts = entry == u"MultiSelect1";
        QList<bool> seen;
        if (bound) {
            table.bind(table.handlerOf(entry), [&] {
                seen.append(action->isChecked());
                if (handlerInverts)
                    action->setChecked(!action->isChecked());
            });
        }
        action->trigger();
        QCOMPARE(seen, bound ? QList<bool>{markSeenByHandler} : QList<bool>{});
        QCOMPARE(action->isChecked(), markAfter);
    }

    void shortcut_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("key");

        // Alt+I and Alt+S are also the access keys of "&Info" and "&Setup" in the menu bar.
        QTest::newRow("Alt+I") << QStringLiteral("SelektierteDatenstzeimIEanzeigen2") << int(Qt::Key_I);
        QTest::newRow("Alt+S") << QStringLiteral("Store1") << int(Qt::Key_S);
        QTest::newRow("Alt+X") << QStringLiteral("beenden1") << int(Qt::Key_X);
        QTest::newRow("Alt+A") << QStringLiteral("newopen") << int(Qt::Key_A);
        QTest::newRow("Alt+O") << QStringLiteral("Optionen1") << int(Qt::Key_O);
        QTest::newRow("Alt+L") << QStringLiteral("Restore1") << int(Qt::Key_L);
    }

    void shortcut()
    {
        QFETCH(QString, entry);
        QFETCH(int, key);

        QMainWindow window;
        CommandTable table(&window);
        int runs = 0;
        table.bind(table.handlerOf(entry), [&] { ++runs; });
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        // Twice: Qt hands an ambiguous key to its owners in turn.
        QTest::keyClick(&window, Qt::Key(key), Qt::AltModifier);
        QTest::keyClick(&window, Qt::Key(key), Qt::AltModifier);
        QCOMPARE(runs, 2);
        QVERIFY(!QApplication::activePopupWidget());

        table.action(entry)->setEnabled(false);
        QTest::keyClick(&window, Qt::Key(key), Qt::AltModifier);
        QTest::keyClick(&window, Qt::Key(key), Qt::AltModifier);
        QCOMPARE(runs, 2);
        QVERIFY(!QApplication::activePopupWidget());
    }

    void altIFollowsThePage()
    {
        QMainWindow window;
        CommandTable table(&window);
        int runs = 0;
        table.bind(QStringLiteral("SelektierteDatenstzeimIEanzeigen1Click"), [&] { ++runs; });
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        table.applyPageEnabling(CommandTable::DiscPage);
        QTest::keyClick(&window, Qt::Key_I, Qt::AltModifier);
        QCOMPARE(runs, 0);
        table.applyPageEnabling(CommandTable::ImagePage);
        QTest::keyClick(&window, Qt::Key_I, Qt::AltModifier);
        QCOMPARE(runs, 1);
    }

    void editEntryConfirmsChangedText()
    {
        QMainWindow window;
        CommandTable table(&window);
        QStringList received;
        table.bindText(QStringLiteral("dxBarEdit2Change"), [&](const QString& text) { received.append(text); });

        QMenu* menu = table.menu(QStringLiteral("dxBarSubItem7"));
        menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        auto* box = menu->findChild<QWidget*>(QStringLiteral("dxBarEdit2"));
        QVERIFY(box);
        auto* edit = box->findChild<QLineEdit*>();
        QVERIFY(edit);
        QCOMPARE(box->findChild<QLabel*>()->text(), QStringLiteral("alle Kategorie2 Werte ersetzen durch:"));

        QTest::keyClicks(edit, QStringLiteral("Golf"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(received, QStringList{QStringLiteral("Golf")});

        // The same text once more is no change.
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(received, QStringList{QStringLiteral("Golf")});

        // Esc discards the typing, also when the box then loses the focus.
        QTest::keyClicks(edit, QStringLiteral(" GTI"));
        QTest::keyClick(edit, Qt::Key_Escape);
        QCOMPARE(edit->text(), QStringLiteral("Golf"));
        QFocusEvent focusOut(QEvent::FocusOut, Qt::OtherFocusReason);
        QApplication::sendEvent(edit, &focusOut);
        QCOMPARE(received, QStringList{QStringLiteral("Golf")});

        // Leaving the box confirms, too; an empty text is a text like any other.
        const auto eraseTyping = [edit] {
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(edit, Qt::Key_Backspace);
        };
        eraseTyping();
        QTest::keyClicks(edit, QStringLiteral("Polo"));
        QApplication::sendEvent(edit, &focusOut);
        eraseTyping();
        QApplication::sendEvent(edit, &focusOut);
        QCOMPARE(received, (QStringList{QStringLiteral("Golf"), QStringLiteral("Polo"), QString()}));
        QCOMPARE(table.editEntry(QStringLiteral("dxBarEdit2"))->value(), QString());
        menu->hide();
    }

    void editEntryLabelFollowsCaption()
    {
        QMainWindow window;
        CommandTable table(&window);
        EditEntryAction* entry = table.editEntry(QStringLiteral("dxBarEdit6"));
        QMenu elsewhere;
        elsewhere.addAction(entry);

        entry->setText(QStringLiteral("alle Marke Werte ersetzen durch:"));

        for (QMenu* menu : {table.menu(QStringLiteral("dxBarSubItem7")), &elsewhere}) {
            auto* box = menu->findChild<QWidget*>(QStringLiteral("dxBarEdit6"));
            QVERIFY(box);
            QCOMPARE(box->findChild<QLabel*>()->text(), QStringLiteral("alle Marke Werte ersetzen durch:"));
        }
    }

    void unboundEntryDoesNothing()
    {
        QMainWindow window;
        CommandTable table(&window);
        table.action(QStringLiteral("newopen"))->trigger();
        table.editEntry(QStringLiteral("dxBarEdit3"))->confirmText(QStringLiteral("Neu"));
        QVERIFY(m_reporter.errors.isEmpty());
    }

    void failingHandlerIsReported()
    {
        QMainWindow window;
        CommandTable table(&window);
        table.bind(QStringLiteral("dxBarButton12Click"),
                   [] { throw OrdnixError(QStringLiteral("Die Tabelle „archiv00“ ist gesperrt.")); });
        table.bindText(QStringLiteral("dxBarEdit8Change"),
                       [](const QString& text) { throw OrdnixError(QStringLiteral("Nicht gespeichert: ") + text); });

        table.action(QStringLiteral("dxBarLargeButton4"))->trigger();
        table.editEntry(QStringLiteral("dxBarEdit8"))->confirmText(QStringLiteral("Urlaub"));

        QCOMPARE(m_reporter.errors, (QStringList{QStringLiteral("Die Tabelle „archiv00“ ist gesperrt."),
                                                 QStringLiteral("Nicht gespeichert: Urlaub")}));
    }

private:
    RecordingReporter m_reporter;
};

QTEST_MAIN(TestCommandTable)
#include "tst_commandtable.moc"
