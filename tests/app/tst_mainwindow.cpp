#include "app/MainWindow.h"
#include "app/SetupPage.h"
#include "app/commands/CommandTable.h"
#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "discs/DiscPage.h"
#include "gridtools/CatalogueGrid.h"
#include "images/ImagePage.h"
#include "media/MediaPage.h"
#include "platform/Context.h"
#include "platform/FileUrl.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

void addPicture(DataModule& d, const QString& folder, const QString& name, const QString& thumb)
{
    TableObject* t = d.MSBild;
    t->append();
    t->setValue(QStringLiteral("Dateipfad"), folderToFileUrl(folder));
    t->setValue(QStringLiteral("Dateiname"), name);
    t->setValue(QStringLiteral("Thumbname"), thumb);
    t->setValue(QStringLiteral("Aufloesung"), QStringLiteral(" 640 x 480"));
    t->setValue(QStringLiteral("Automarke"), QStringLiteral("Audi"));
    t->setValue(QStringLiteral("Beschreibung"), QStringLiteral("Felge"));
    t->post();
    t->first();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void pagesAndGridsShowTheCatalogue()
    {
        WindowFixture f([](DataModule& d) {
            addPicture(d, QStringLiteral("/bilder"), QStringLiteral("a.jpg"), QStringLiteral("TN_a.jpg"));
            addPicture(d, QStringLiteral("/bilder"), QStringLiteral("b.jpg"), QStringLiteral("TN_b.jpg"));
        });
        QTabWidget* pages = f.window->cxPageControl1;
        QCOMPARE(pages->count(), 4);
        const QStringList captions = {QStringLiteral("Bild - Verwaltung"), QStringLiteral("CD - Verwaltung"),
                                      QStringLiteral("Medien - Verwaltung"), QStringLiteral("Setup")};
        const QStringList names = {QStringLiteral("cxTabSheet1"), QStringLiteral("cxTabSheet2"),
                                   QStringLiteral("cxTabSheet4"), QStringLiteral("cxTabSheet3")};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(pages->tabText(i), captions[i]);
            QCOMPARE(pages->widget(i)->objectName(), names[i]);
        }
        QCOMPARE(pages->currentIndex(), 0);

        const std::pair<const char*, int> grids[] = {
            {"cxGrid1", 2}, {"cxGrid2", 0}, {"cxGrid3", 0}, {"cxGrid4", 0}, {"cxGrid5", 8}};
        for (const auto& [name, rows] : grids) {
            auto* grid = f.window->findChild<CatalogueGrid*>(QLatin1String(name));
            QVERIFY2(grid, name);
            QCOMPARE(grid->view()->model()->rowCount(), rows);
        }
        // The image grid: design captions, hidden columns and sort.
        CatalogueGrid* images = f.window->imagePage->cxGrid1;
        QCOMPARE(images->view()->objectName(), QStringLiteral("View1"));
        QCOMPARE(images->column(QStringLiteral("Erstausruestung"))->caption(), QStringLiteral("Fundus"));
        QVERIFY(images->view()->isColumnHidden(images->column(QStringLiteral("Thumbname"))->position()));
        QVERIFY(!images->view()->isColumnHidden(images->column(QStringLiteral("Dateipfad"))->position()));
        QCOMPARE(images->sortKeys().size(), 2);
        QCOMPARE(images->sortKeys().first().column, QStringLiteral("SpezialUniversalProdukt"));
        // The file types are listed by description.
        CatalogueGrid* types = f.window->mediaPage->cxGrid5;
        QStringList shown;
        for (int row : types->visibleRows())
            shown.append(types->table()->valueAt(row, 1).toString());
        QStringList sorted = shown;
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        QCOMPARE(shown, sorted);
    }

    void activationPreparesTheWindow()
    {
        QTemporaryDir pictures;
        QDir(pictures.path()).mkpath(QStringLiteral("thumbnail"));
        QImage thumb(160, 120, QImage::Format_RGB32);
        thumb.fill(Qt::red);
        QVERIFY(thumb.save(pictures.path() + QStringLiteral("/thumbnail/TN_a.jpg")));
        WindowFixture f([&](DataModule& d) {
            addPicture(d, pictures.path(), QStringLiteral("a.jpg"), QStringLiteral("TN_a.jpg"));
        });
        f.window->cxPageControl1->setCurrentIndex(MainWindow::MediaFilesPage);
        f.window->mediaPage->Label41->setText(QStringLiteral("12 Mediensätze eingelesen"));
        f.window->imagePage->LMDProgress1->show();
        f.context.values.ZoomActive = true;

        f.window->FormActivate();

        QVERIFY(!f.window->commands()->menu(QStringLiteral("Medialaden1"))->menuAction()->isEnabled());
        QVERIFY(!f.action("dxBarLargeButton6")->isEnabled());
        QVERIFY(f.window->mediaPage->Label41->text().isEmpty());
        QVERIFY(f.window->imagePage->LMDProgress1->isHidden());
        QVERIFY(!f.context.values.ZoomActive);
        QCOMPARE(f.context.values.TempFolder, f.context.paths.tempFolder);
        QCOMPARE(QFile::permissions(f.context.paths.tempFolder) & 0x7777, QFile::ReadOwner | QFile::WriteOwner |
                                                                              QFile::ExeOwner | QFile::ReadUser |
                                                                              QFile::WriteUser | QFile::ExeUser);
        QCOMPARE(f.window->imagePage->statusSummary->text(),
                 folderToFileUrl(pictures.path()) + QStringLiteral("a.jpg** 640 x 480**Audi**Felge"));
        QVERIFY(!f.window->imagePage->Image1->pixmap().isNull());
        QCOMPARE(f.context.values.HtmlHeading, QStringLiteral("Bildergalerie"));
        QCOMPARE(f.context.values.HtmlTableWidth, QStringLiteral("65"));

        // Another page and back enables the media commands again.
        f.window->cxPageControl1->setCurrentIndex(MainWindow::ImagesPage);
        f.window->cxPageControl1->setCurrentIndex(MainWindow::MediaFilesPage);
        QVERIFY(f.window->commands()->menu(QStringLiteral("Medialaden1"))->menuAction()->isEnabled());
        QVERIFY(f.action("dxBarLargeButton6")->isEnabled());
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void activationWithoutUsableThumbnail_data()
    {
        QTest::addColumn<bool>("withRow");
        QTest::newRow("empty catalogue") << false;
        QTest::newRow("thumbnail missing") << true;
    }

    void activationWithoutUsableThumbnail()
    {
        QFETCH(bool, withRow);
        WindowFixture f([&](DataModule& d) {
            if (withRow)
                addPicture(d, QStringLiteral("/nirgends"), QStringLiteral("a.jpg"), QStringLiteral("TN_a.jpg"));
        });
        f.window->FormActivate();
        f.window->FormActivate();
        QVERIFY(f.dialogs.errors.isEmpty());
        QVERIFY(f.window->imagePage->Image1->pixmap().isNull());
        QCOMPARE(f.window->imagePage->statusSummary->text().isEmpty(), !withRow);
    }

    void optionsSavesTheSettingsWithoutPageChangeWhenAlreadyThere()
    {
        WindowFixture f;
        f.window->cxPageControl1->setCurrentIndex(MainWindow::SettingsPage);
        int changes = 0;
        connect(f.window->cxPageControl1, &QTabWidget::currentChanged, this, [&] { ++changes; });
        TableObject* settings = f.data->MSVariablen;
        settings->setValue(QStringLiteral("Wert"), QStringLiteral("Neue Überschrift"));
        f.action("Optionen1")->trigger();
        QCOMPARE(changes, 0);
        QCOMPARE(settings->state(), TableObject::State::Browse);
        settings->refresh();
        QCOMPARE(settings->value(QStringLiteral("Wert")).toString(), QStringLiteral("Neue Überschrift"));
    }

    void helpDisablesTheImageButtonsAndOpensThePage()
    {
        WindowFixture f;
        f.window->cxPageControl1->setCurrentIndex(MainWindow::MediaFilesPage);
        f.window->cxPageControl1->setCurrentIndex(MainWindow::ImagesPage);
        QVERIFY(f.action("dxBarLargeButton2")->isEnabled());
        f.action("dxBarButton10")->trigger();
        QVERIFY(!f.action("dxBarLargeButton2")->isEnabled());
        QVERIFY(!f.action("dxBarLargeButton3")->isEnabled());
        QVERIFY(!f.action("dxBarLargeButton6")->isEnabled());
        QVERIFY(f.action("dxBarLargeButton4")->isEnabled());
        QCOMPARE(f.shell.opened, QStringList{f.context.paths.helpPage});
        f.action("dxBarButton9")->trigger();
        QCOMPARE(f.shell.opened.last(), MainWindow::makerWebSite());
        f.action("Info1")->trigger();
        QCOMPARE(f.dialogs.aboutShown, 1);
        // "Bilder laden" brings back the image page's buttons.
        f.window->cxPageControl1->setCurrentIndex(MainWindow::DiscsPage);
        f.action("dxBarLargeButton1")->trigger();
        QCOMPARE(f.window->cxPageControl1->currentIndex(), int(MainWindow::ImagesPage));
        QVERIFY(f.action("dxBarLargeButton2")->isEnabled());
        QVERIFY(!f.action("dxBarLargeButton6")->isEnabled());
    }

    void discPageDisablesTheBrowserCommand()
    {
        WindowFixture f;
        f.window->cxPageControl1->setCurrentIndex(MainWindow::DiscsPage);
        QVERIFY(!f.action("SelektierteDatenstzeimIEanzeigen2")->isEnabled());
        f.window->cxPageControl1->setCurrentIndex(MainWindow::ImagesPage);
        QVERIFY(f.action("SelektierteDatenstzeimIEanzeigen2")->isEnabled());
    }

    void cancellingANewRowShownInAGridDropsIt()
    {
        WindowFixture f([](DataModule& d) {
            for (const char* name : {"A", "B", "C"}) {
                d.MSarchiv00->append();
                d.MSarchiv00->setValue(QStringLiteral("Name"), QLatin1String(name));
                d.MSarchiv00->post();
            }
        });
        f.window->cxPageControl1->setCurrentIndex(MainWindow::DiscsPage);
        TableObject* discs = f.data->MSarchiv00;
        discs->append();
        discs->setValue(QStringLiteral("Name"), QStringLiteral("Neue Scheibe"));
        discs->cancel();
        QCOMPARE(f.data->countRows(QStringLiteral("archiv00")), 3);
        QCOMPARE(discs->recordCount(), 3);
        QCOMPARE(discs->state(), TableObject::State::Browse);
    }

    void exitRemovesOnlyTheTemporaryFiles_data()
    {
        QTest::addColumn<bool>("byExitCommand");
        QTest::newRow("E&xit") << true;
        QTest::newRow("close box") << false;
    }

    void exitRemovesOnlyTheTemporaryFiles()
    {
        QFETCH(bool, byExitCommand);
        WindowFixture f;
        f.window->FormActivate();
        const QString temp = f.context.paths.tempFolder;
        const QStringList ours = {QStringLiteral("image_1.htm"), QStringLiteral("image_12.htm"),
                                  QStringLiteral("daten.txt"), QStringLiteral("media.txt"),
                                  QStringLiteral("media2.txt")};
        const QStringList others = {QStringLiteral("image_1.html"), QStringLiteral("notiz.txt"),
                                    QStringLiteral("bild.jpg")};
        for (const QString& name : ours + others) {
            QFile file(temp + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(temp).mkpath(QStringLiteral("media_ordner.txt")));
        f.window->show();
        if (byExitCommand)
            f.action("beenden1")->trigger();
        else
            f.window->close();
        QVERIFY(!f.window->isVisible());
        for (const QString& name : ours)
            QCOMPARE(QFile::exists(temp + name), !byExitCommand);
        for (const QString& name : others)
            QVERIFY(QFile::exists(temp + name));
        QVERIFY(QDir(temp + QStringLiteral("media_ordner.txt")).exists());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
