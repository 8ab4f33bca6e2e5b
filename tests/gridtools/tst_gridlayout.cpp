#include "discs/DiscPage.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/CatalogueModels.h"
#include "gridtools/GridWidgets.h"
#include "gridtools/LayoutStore.h"
#include "images/ImagePage.h"
#include "media/MediaPage.h"
#include "support/WindowFixture.h"

#include "gridtools/CollapsibleSplitter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

namespace {

enum class Option
{
    NativeStyle,
    MultiSelect,
    Indicator,
    GroupByBox,
    AutoWidth,
};

bool optionOf(const CatalogueGrid* grid, Option option)
{
    switch (option) {
    case Option::NativeStyle:
        return grid->nativeStyle();
    case Option::MultiSelect:
        return grid->multiSelect();
    case Option::Indicator:
        return grid->rowIndicatorVisible();
    case Option::GroupByBox:
        return grid->groupingPanelVisible();
    case Option::AutoWidth:
        return grid->columnsFitWidth();
    }
    return false;
}

void addPicture(DataModule& d, const char* folder, const char* name)
{
    d.MSBild->append();
    d.MSBild->setValue(QStringLiteral("Dateipfad"), QLatin1String(folder));
    d.MSBild->setValue(QStringLiteral("Dateiname"), QLatin1String(name));
    d.MSBild->post();
}

void addMedia(DataModule& d, const char* folder, const char* name, double size)
{
    d.MSMedia->append();
    d.MSMedia->setValue(QStringLiteral("Dateipfad"), QLatin1String(folder));
    d.MSMedia->setValue(QStringLiteral("Dateiname"), QLatin1String(name));
    d.MSMedia->setValue(QStringLiteral("Groesse"), size);
    d.MSMedia->post();
}

// The window of the fixture closes and a new one starts on the same catalogue and folders.
void restart(WindowFixture& f)
{
    f.window.reset();
    f.window = std::make_unique<MainWindow>(f.data.get(), &f.context);
}

LayoutStore* layoutStore(const WindowFixture& f)
{
    return f.window->findChild<LayoutStore*>(QStringLiteral("cxPropertiesStore"));
}

CatalogueGrid* images(const WindowFixture& f)
{
    return f.window->imagePage->cxGrid1;
}

QString configFile(const WindowFixture& f, const char* name)
{
    return f.context.paths.configFolder + QLatin1Char('/') + QLatin1String(name);
}

QString kept(const QString& file, const char* key)
{
    return QSettings(file, QSettings::IniFormat).value(QLatin1String(key)).toString();
}

} // namespace

class TestGridLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void gridOptions_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("action");
        QTest::addColumn<Option>("option");
        QTest::addColumn<bool>("start");
        QTest::newRow("native style") << "miNativeStyle"
                                      << "actGridNativeStyle" << Option::NativeStyle << false;
        QTest::newRow("multi select") << "MultiSelect1"
                                      << "actMultiSelect" << Option::MultiSelect << true;
        QTest::newRow("indicator") << "Indikator1"
                                   << "actShowIndicator" << Option::Indicator << true;
        QTest::newRow("grouping panel") << "myShowGroupByBox"
                                        << "actShowGroupByBox" << Option::GroupByBox << true;
        QTest::newRow("column auto width") << "ColumnAutoWith1"
                                           << "actColumnAutoWidth" << Option::AutoWidth << false;
    }

    void gridOptions()
    {
        QFETCH(const QString, entry);
        QFETCH(const QString, action);
        QFETCH(const Option, option);
        QFETCH(const bool, start);
        WindowFixture f;
        QAction* menuEntry = f.window->commands()->action(entry);
        auto* state = f.window->findChild<QAction*>(action);
        QVERIFY(state);
        QCOMPARE(state->isChecked(), start);
        QCOMPARE(optionOf(images(f), option), start);
        for (const bool expected : {!start, start}) {
            menuEntry->trigger();
            QCOMPARE(state->isChecked(), expected);
            QCOMPARE(optionOf(images(f), option), expected);
            if (menuEntry->isCheckable())
                QCOMPARE(menuEntry->isChecked(), expected);
        }
        // The other grids keep their own settings.
        QCOMPARE(optionOf(f.window->discPage->cxGrid2, Option::NativeStyle), false);
    }

    void columnChoosers_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("grid");
        QTest::newRow("image grid") << "Spaltenhinzufgenentfernen1"
                                    << "cxGrid1";
        QTest::newRow("disc grid") << "dxBarButton1"
                                   << "cxGrid2";
        QTest::newRow("disc contents") << "dxBarButton13"
                                       << "cxGrid3";
        QTest::newRow("media grid") << "dxBarButton3"
                                    << "cxGrid4";
    }

    void columnChoosers()
    {
        QFETCH(const QString, entry);
        QFETCH(const QString, grid);
        WindowFixture f;
        f.window->commands()->action(entry)->trigger();
        auto* g = f.window->findChild<CatalogueGrid*>(grid);
        QVERIFY(g->columnChooser()->isVisible());
        QStringList hidden;
        for (const GridColumnObject* c : g->columns()) {
            if (c->isHidden())
                hidden.append(c->objectName());
        }
        QVERIFY(!hidden.isEmpty());
        QCOMPARE(g->columnChooser()->hiddenColumns(), hidden);
    }

    void gridsShowTheirSummaries()
    {
        WindowFixture f([](DataModule& d) {
            addPicture(d, "file:///b/", "b.jpg");
            addPicture(d, "file:///a/", "a.jpg");
            addPicture(d, "file:///a/", "c.jpg");
            addMedia(d, "file:///m/", "song.mp3", 1500);
            addMedia(d, "file:///m/", "film.mkv", 2000000);
        });
        CatalogueGrid* pictures = images(f);
        QCOMPARE(pictures->footerText(QStringLiteral("Dateiname")), QStringLiteral("Anzahl: 3"));
        CatalogueGrid* media = f.window->mediaPage->cxGrid4;
        QCOMPARE(media->footerText(QStringLiteral("cxGrid4DBTableView1Dateipfad")), QStringLiteral("Anzahl: 2"));
        QCOMPARE(media->footerText(QStringLiteral("cxGrid4DBTableView1Groesse")), QStringLiteral("Summe: 2.001.500"));
        QVERIFY(!f.window->discPage->cxGrid3->rowIndicatorVisible());
        QVERIFY(!f.window->mediaPage->cxGrid5->groupingPanelVisible());
        QVERIFY(!f.window->mediaPage->cxGrid5->footerBar());

        // The folder's groups have footers counting their names; a description's groups have none.
        pictures->groupBy(QStringLiteral("Dateipfad"));
        pictures->setAllExpanded(true);
        CatalogueProxy* proxy = pictures->proxy();
        const int name = pictures->column(QStringLiteral("Dateiname"))->position();
        QCOMPARE(proxy->kind(3), CatalogueProxy::RowKind::GroupFooter);
        QCOMPARE(proxy->index(3, name).data().toString(), QStringLiteral("Anzahl: 2"));
        pictures->setGroupKeys({{QStringLiteral("Beschreibung"), Qt::AscendingOrder}});
        pictures->setAllExpanded(true);
        QCOMPARE(proxy->rowCount(), 4);
    }

    void layoutCarriesOverToTheNextStart()
    {
        WindowFixture f;
        f.window->setGeometry(60, 50, 1100, 800);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.window->imagePage->cxSplitter1->setSizes({200, 500});
        f.action("Indikator1")->trigger();
        f.action("miNativeStyle")->trigger();
        const QList<int> sizes = f.window->imagePage->cxSplitter1->sizes();
        restart(f);

        QVERIFY(!images(f)->rowIndicatorVisible());
        QVERIFY(!f.action("Indikator1")->isChecked());
        QVERIFY(images(f)->nativeStyle());
        QCOMPARE(f.window->geometry(), QRect(60, 50, 1100, 800));
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(f.window->imagePage->cxSplitter1->sizes(), sizes);
        // The file keeps readable text by component and property.
        const QString file = configFile(f, "cxPropertiesStore.ini");
        QCOMPARE(kept(file, "View1/OptionsView"), QStringLiteral("ColumnAutoWidth=false; Footer=true; GroupByBox=true; "
                                                                 "Indicator=false"));
        QCOMPARE(kept(file, "actShowIndicator/Checked"), QStringLiteral("false"));
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void storeSwitchedOff()
    {
        WindowFixture f;
        const QRect designed = f.window->geometry();
        f.action("miStorageActive")->trigger();
        QVERIFY(!layoutStore(f)->isActive());
        QVERIFY(!f.action("miStoringGridLookFeel")->isEnabled());
        f.window->setGeometry(60, 50, 1100, 800);
        f.action("Indikator1")->trigger();
        restart(f);

        // Nothing of the layout was written; the state was, and keeps the store off. The image
        // grid's view is the state store's too, and the option's mark follows it.
        QVERIFY(!QFile::exists(configFile(f, "cxPropertiesStore.ini")));
        QCOMPARE(kept(configFile(f, "StorageState.ini"), "cxPropertiesStore/Active"), QStringLiteral("false"));
        QCOMPARE(f.window->geometry(), designed);
        QVERIFY(!images(f)->rowIndicatorVisible());
        QVERIFY(!f.action("Indikator1")->isChecked());
        QVERIFY(!layoutStore(f)->isActive());
        QVERIFY(f.action("miStorageActive")->isChecked());
        // Storing and loading on command work all the same.
        f.action("Store1")->trigger();
        QVERIFY(QFile::exists(configFile(f, "cxPropertiesStore.ini")));
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void lookAndFeelSwitchOffAndOn()
    {
        WindowFixture f;
        LayoutStore* store = layoutStore(f);
        QCOMPARE(store->entry(QStringLiteral("cxGrid1"))->properties.size(), 36);
        f.action("miStoringGridLookFeel")->trigger();
        QVERIFY(!store->entry(QStringLiteral("cxGrid1")));
        QVERIFY(!store->entry(QStringLiteral("actGridNativeStyle")));
        QVERIFY(store->entry(QStringLiteral("actMultiSelect")));
        f.action("miStoringGridLookFeel")->trigger();
        QCOMPARE(store->entry(QStringLiteral("cxGrid1"))->properties, QStringList{QStringLiteral("LookAndFeel")});
        QCOMPARE(store->entry(QStringLiteral("actGridNativeStyle"))->properties,
                 QStringList{QStringLiteral("Checked")});

        // Without the look kept, a changed look is not carried over; the state store keeps it.
        f.action("miStoringGridLookFeel")->trigger();
        f.action("miNativeStyle")->trigger();
        f.action("Store1")->trigger();
        QVERIFY(kept(configFile(f, "cxPropertiesStore.ini"), "cxGrid1/LookAndFeel").isEmpty());
    }

    void memoryStoreTwiceThenLoad()
    {
        WindowFixture f;
        f.action("miMemoryStoreType")->trigger();
        QVERIFY(f.action("miMemoryStoreType")->isChecked());
        QVERIFY(f.action("miIniStoreType")->isChecked()); // the locations are independent marks
        f.action("Indikator1")->trigger();
        f.action("Store1")->trigger();
        f.action("Indikator1")->trigger();
        f.action("myShowGroupByBox")->trigger();
        f.action("Store1")->trigger();
        f.action("Indikator1")->trigger();
        f.action("myShowGroupByBox")->trigger();

        f.action("Restore1")->trigger();
        QVERIFY(images(f)->rowIndicatorVisible());
        QVERIFY(!images(f)->groupingPanelVisible());
        QVERIFY(f.action("Indikator1")->isChecked());

        f.window->setGeometry(60, 50, 1100, 800);
        restart(f);
        // Nothing was written, and no snapshot outlives the run.
        QVERIFY(!QFile::exists(configFile(f, "cxPropertiesStore.ini")));
        QCOMPARE(layoutStore(f)->storageType(), LayoutStore::StorageType::Memory);
        const QRect designed = f.window->geometry();
        QVERIFY(designed != QRect(60, 50, 1100, 800));
        f.action("Restore1")->trigger();
        QCOMPARE(f.window->geometry(), designed);
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void registryLocation()
    {
        WindowFixture f;
        const QRect designed = f.window->geometry();
        f.action("miRegistryStoreType")->trigger();
        f.window->setGeometry(60, 50, 1100, 800);
        restart(f);

        // Written to the registry; the start read the designed ini file and only then switched.
        const QString registry = configFile(f, "cxPropertiesStore.conf");
        QCOMPARE(QSettings(registry, QSettings::NativeFormat).value(QStringLiteral("Form1/Width")),
                 QVariant(QStringLiteral("1100")));
        QVERIFY(!QFile::exists(configFile(f, "cxPropertiesStore.ini")));
        QCOMPARE(f.window->geometry(), designed);
        QCOMPARE(layoutStore(f)->storageType(), LayoutStore::StorageType::Registry);
        f.action("Restore1")->trigger();
        QCOMPARE(f.window->geometry(), QRect(60, 50, 1100, 800));
    }

    void iniFileInTheWorkingFolder()
    {
        WindowFixture f;
        const QString work = f.dir.path() + QStringLiteral("/arbeit");
        QVERIFY(QDir().mkpath(work));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(work);
        f.action("miIniStoreType")->trigger();
        QVERIFY(f.action("miIniStoreType")->isChecked());
        f.action("Store1")->trigger();
        f.window.reset();
        QDir::setCurrent(previous);
        QVERIFY(QFile::exists(work + QStringLiteral("/cxPropertiesStore.ini")));
        QVERIFY(!QFile::exists(configFile(f, "cxPropertiesStore.ini")));
    }

    void chosenColumnsAreNotKept()
    {
        WindowFixture f;
        images(f)->column(QStringLiteral("Aufloesung"))->setHidden(false);
        f.action("Store1")->trigger();
        restart(f);
        QVERIFY(images(f)->column(QStringLiteral("Aufloesung"))->isHidden());
        QVERIFY(images(f)->view()->isColumnHidden(images(f)->column(QStringLiteral("Aufloesung"))->position()));
    }

    void damagedLayoutFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not text") << "cxPropertiesStore.ini" << QByteArray("\x00\xff[[[=\n\x01\x02]]\n=\n", 14);
        QTest::newRow("values of the wrong type")
            << "cxPropertiesStore.ini"
            << QByteArray("[View1]\nOptionsView=Indicator=vielleicht; GroupByBox=17\nOptionsSelection=MultiSelect\n"
                          "[actShowIndicator]\nChecked=ja\n[Form1]\nWidth=breit\nHeight=-5\n"
                          "[cxGrid1]\nFont=\nLookAndFeel=NativeStyle\nTag=x\n");
        QTest::newRow("unknown components and properties")
            << "cxPropertiesStore.ini"
            << QByteArray("[Unbekannt]\nFoo=1\n[View1]\nColumns=Dateipfad,Dateiname\nOptionsView=Farbe=blau\n");
        QTest::newRow("a splitter of another arrangement")
            << "cxPropertiesStore.ini" << QByteArray("[cxSplitter1]\nPositionAfterOpen=100,200,300\n");
        QTest::newRow("window off every screen")
            << "cxPropertiesStore.ini" << QByteArray("[Form1]\nLeft=-50000\nTop=-50000\nWidth=800\nHeight=600\n");
        QTest::newRow("state pointing the store elsewhere")
            << "StorageState.ini"
            << QByteArray("[cxPropertiesStore]\nStorageName=%VICTIM%\nStorageType=Diskette\nActive=nein\n");
    }

    void damagedLayoutFiles()
    {
        QFETCH(const QString, file);
        QFETCH(QByteArray, content);
        WindowFixture f;
        const QRect designed = f.window->geometry();
        const QString designedLocation = layoutStore(f)->storageName();
        f.window.reset();

        const QString victim = f.dir.path() + QStringLiteral("/wichtig.txt");
        QFile v(victim);
        QVERIFY(v.open(QIODevice::WriteOnly));
        v.write("wichtig");
        v.close();
        content.replace("%VICTIM%", victim.toUtf8());
        const QString path = f.context.paths.configFolder + QLatin1Char('/') + file;
        QFile::remove(path);
        QFile damaged(path);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(content);
        damaged.close();

        f.window = std::make_unique<MainWindow>(f.data.get(), &f.context);
        CatalogueGrid* grid = images(f);
        QVERIFY(grid->rowIndicatorVisible());
        QVERIFY(grid->groupingPanelVisible());
        QVERIFY(grid->multiSelect());
        QVERIFY(!grid->nativeStyle());
        QVERIFY(f.action("Indikator1")->isChecked());
        QCOMPARE(f.window->geometry(), designed);
        QCOMPARE(layoutStore(f)->storageName(), designedLocation);
        QCOMPARE(layoutStore(f)->storageType(), LayoutStore::StorageType::IniFile);
        f.window.reset();
        QVERIFY(v.open(QIODevice::ReadOnly));
        QCOMPARE(v.readAll(), QByteArray("wichtig"));
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void unwritableLocationIsNamed()
    {
        WindowFixture f;
        // Where the configuration folder should be, a plain file is in the way.
        const QString folder = f.context.paths.configFolder;
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        f.action("Store1")->trigger();
        QCOMPARE(f.dialogs.errors.size(), 1);
        QVERIFY2(f.dialogs.errors.first().startsWith(QStringLiteral("Die Tabelleneinstellungen können nicht in „")),
                 qPrintable(f.dialogs.errors.first()));
        QVERIFY(f.dialogs.errors.first().contains(
            QDir::toNativeSeparators(folder + QStringLiteral("/cxPropertiesStore.ini"))));
        // Closing still ends cleanly, with both stores' failures shown.
        f.window.reset();
        QCOMPARE(f.dialogs.errors.size(), 3);
        QVERIFY(f.dialogs.errors[1].contains(QStringLiteral("StorageState.ini")));
    }
};

QTEST_MAIN(TestGridLayout)
#include "tst_gridlayout.moc"
