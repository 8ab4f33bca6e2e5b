#include "PictureFixtures.h"
#include "gridtools/CatalogueGrid.h"
#include "images/ImagePage.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

using namespace PictureFixtures;

namespace {

QString picturesIn(WindowFixture& f)
{
    const QString folder = f.dir.path() + QStringLiteral("/Bilder/");
    QDir().mkpath(folder);
    const std::pair<const char*, QColor> pictures[] = {{"b.jpg", Qt::red}, {"a.jpg", Qt::blue}, {"c.png", Qt::green}};
    for (const auto& [name, colour] : pictures)
        write(folder + QLatin1String(name),
              encoded(filled(320, 240, colour), QFileInfo(QLatin1String(name)).suffix().toLatin1().constData()));
    return folder;
}

// What every run leaves behind, also a failed one: the window usable again.
void windowIsBack(WindowFixture& f)
{
    QVERIFY(f.window->imagePage->LMDProgress1->isHidden());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!f.data->MSBild->controlsDisabled());
    QCOMPARE(f.data->MSBild->state(), TableObject::State::Browse);
    QCOMPARE(f.data->MSBild->recNo(), 0);
}

} // namespace

class TestImageCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void commandsImportPictures_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("withPreview");
        QTest::addColumn<bool>("onlyPicked");
        QTest::newRow("mit Vorschau, alle") << QStringLiteral("newopen") << true << false;
        QTest::newRow("mit Vorschau, selektierte") << QStringLiteral("ffnenselektierteDatenstze1") << true << true;
        QTest::newRow("ohne Vorschau, alle") << QStringLiteral("OhneVorschauffnenalleDatenstze1") << false << false;
        QTest::newRow("ohne Vorschau, selektierte")
            << QStringLiteral("OhneVorschauffnenselektierteDatenstze1") << false << true;
    }

    void commandsImportPictures()
    {
        QFETCH(QString, command);
        QFETCH(bool, withPreview);
        QFETCH(bool, onlyPicked);
        WindowFixture f;
        const QString folder = picturesIn(f);
        f.dialogs.fileAnswers.enqueue({folder + QStringLiteral("c.png"), folder + QStringLiteral("a.jpg")});

        f.window->commands()->action(command)->trigger();

        QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(f.dialogs.errors.join(QLatin1Char('\n'))));
        QCOMPARE(f.dialogs.titles, withPreview ? QStringList{ImagePage::openDialogTitle()} : QStringList());
        ImagePage* page = f.window->imagePage;
        QCOMPARE(page->cxGrid1->view()->model()->rowCount(), onlyPicked ? 2 : 3);
        QCOMPARE(page->scan.GallerySource, onlyPicked ? 1 : 0);
        QCOMPARE(page->scan.PictureFolder, folder);
        QVERIFY(QFile::exists(folder + QStringLiteral("thumbnail/TN_a.jpg")));
        // The preview shows the first record's thumbnail (a.jpg, blue), not the last one made.
        const QImage shown = page->Image1->pixmap().toImage();
        QVERIFY(!shown.isNull());
        QVERIFY(qBlue(shown.pixel(shown.width() / 2, shown.height() / 2)) > 200);
        QVERIFY(QFile::exists(f.context.values.TempFolder + QStringLiteral("image_1.htm")));
        QFile list(f.context.values.TempFolder + QStringLiteral("daten.txt"));
        if (onlyPicked) {
            QVERIFY(list.open(QIODevice::ReadOnly));
            QCOMPARE(list.readAll(), QByteArray("a.jpg\r\nc.png\r\n"));
            QCOMPARE(page->ListBox1->count(), 2);
        } else {
            QVERIFY(!list.exists());
        }
        windowIsBack(f);
    }

    void cancelledDialogChangesNothing_data()
    {
        QTest::addColumn<QString>("command");
        for (const char* name : {"newopen", "ffnenselektierteDatenstze1", "OhneVorschauffnenalleDatenstze1",
                                 "OhneVorschauffnenselektierteDatenstze1"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void cancelledDialogChangesNothing()
    {
        QFETCH(QString, command);
        WindowFixture f;
        picturesIn(f);
        f.window->commands()->action(command)->trigger();
        QCOMPARE(f.data->MSBild->recordCount(), 0);
        const QString temp =
            f.context.values.TempFolder.isEmpty() ? f.context.paths.tempFolder : f.context.values.TempFolder;
        QVERIFY(!QFile::exists(temp + QStringLiteral("daten.txt")));
        QVERIFY(!QFile::exists(temp + QStringLiteral("image_1.htm")));
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void failureIsShownAndTheWindowRecovers()
    {
        WindowFixture f;
        const QString folder = picturesIn(f);
        write(folder + QStringLiteral("b.jpg"), "kein Bild");
        f.dialogs.fileAnswers.enqueue({folder + QStringLiteral("a.jpg")});

        f.window->commands()->action(QStringLiteral("OhneVorschauffnenalleDatenstze1"))->trigger();

        QCOMPARE(f.dialogs.errors.size(), 1);
        QVERIFY2(f.dialogs.errors.first().startsWith(QStringLiteral("Das Bild „%1b.jpg“").arg(folder)),
                 qPrintable(f.dialogs.errors.first()));
        QCOMPARE(f.window->imagePage->cxGrid1->view()->model()->rowCount(), 1);
        windowIsBack(f);
    }
};

QTEST_MAIN(TestImageCommands)
#include "tst_imagecommands.moc"
