#include "data/DataModule.h"
#include "discs/DiscPage.h"
#include "discs/DiscRecords.h"
#include "gridtools/CatalogueGrid.h"
#include "media/MediaPage.h"
#include "platform/FileUrl.h"
#include "platform/VolumeLabel.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

namespace {

void makeFiles(const QString& root, const QStringList& names)
{
    for (const QString& name : names) {
        const QString path = root + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    }
}

void scanDisc(WindowFixture& f, const QString& folder)
{
    f.dialogs.folderAnswers.enqueue(folder);
    f.action("dxBarButton12")->trigger();
}

// The current disc's files as "Liednr|folder below the root|Titel".
QStringList discFiles(DataModule& d, const QString& root)
{
    const QString rootUrl = folderToFileUrl(root);
    TableObject* t = d.MSarchiv01;
    QStringList out;
    for (int row = 0; row < t->recordCount(); ++row) {
        const QString url = t->valueAt(row, t->fieldIndex(QStringLiteral("Dateipfad"))).toString();
        out.append(t->valueAt(row, t->fieldIndex(QStringLiteral("Liednr"))).toString() + QLatin1Char('|') +
                   (url.startsWith(rootUrl) ? url.mid(rootUrl.size()) : url) + QLatin1Char('|') +
                   t->valueAt(row, t->fieldIndex(QStringLiteral("Titel"))).toString());
    }
    return out;
}

const QStringList discTree = {QStringLiteral("Zeta.mp3"), QStringLiteral("alpha.mp3"), QStringLiteral("Sub/beta.mp3"),
                              QStringLiteral("a;b.mp3")};
// Sorted by full name with letters in either case alike: "a;b" before "alpha", "Sub/…" before "Zeta".
const QStringList discTreeTracks = {QStringLiteral("1||a;b.mp3"), QStringLiteral("2||alpha.mp3"),
                                    QStringLiteral("3|Sub/|beta.mp3"), QStringLiteral("4||Zeta.mp3")};

} // namespace

class TestDiscScan : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void scanMakesOneDiscWithItsFilesNumbered()
    {
        WindowFixture f;
        QTemporaryDir disc;
        makeFiles(disc.path(), discTree);
        f.window->cxPageControl1->setCurrentIndex(MainWindow::MediaFilesPage);
        f.dialogs.folderAnswers.enqueue(disc.path());
        f.action("dxBarLargeButton4")->trigger(); // the toolbar twin of the context-menu entry
        QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(f.dialogs.errors.join(QLatin1Char('\n'))));

        TableObject* discs = f.data->MSarchiv00;
        QCOMPARE(discs->recordCount(), 1);
        QCOMPARE(discs->recNo(), 0);
        QCOMPARE(discs->value(QStringLiteral("Name")).toString(),
                 volumeLabel(disc.filePath(QStringLiteral("a;b.mp3"))));
        QCOMPARE(discs->value(QStringLiteral("Medium")).toString(), QStringLiteral("CD"));
        QCOMPARE(discs->value(QStringLiteral("Anzahl")).toString(), QStringLiteral("1 von 1"));
        QCOMPARE(discs->value(QStringLiteral("Datum")).toDateTime(), QDateTime(QDate(2026, 3, 4), QTime(0, 0)));
        QVERIFY(discs->value(QStringLiteral("recnr")).toLongLong() > 0);
        QCOMPARE(discFiles(*f.data, disc.path()), discTreeTracks);
        QCOMPARE(f.data->countRows(QStringLiteral("Archiv01")), 4);

        DiscPage* page = f.window->discPage;
        QCOMPARE(page->LMDProgress3->value(), 100);
        QCOMPARE(page->cxGrid3->view()->model()->rowCount(), 4);
        QCOMPARE(f.window->mediaPage->Label41->text(), QStringLiteral("4 Mediensätze eingelesen"));
        QCOMPARE(f.window->mediaPage->ListBox2->count(), 4);
        QCOMPARE(f.window->cxPageControl1->currentIndex(), int(MainWindow::DiscsPage));
        const std::pair<const char*, bool> buttons[] = {{"dxBarLargeButton1", true},  {"dxBarLargeButton2", false},
                                                        {"dxBarLargeButton3", false}, {"dxBarLargeButton4", true},
                                                        {"dxBarLargeButton5", true},  {"dxBarLargeButton6", false}};
        for (const auto& [name, enabled] : buttons)
            QVERIFY2(f.action(name)->isEnabled() == enabled, name);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void sameDiscTwiceGivesTwoDiscs()
    {
        WindowFixture f;
        QTemporaryDir disc;
        makeFiles(disc.path(), discTree);
        scanDisc(f, disc.path());
        scanDisc(f, disc.path());

        TableObject* discs = f.data->MSarchiv00;
        QCOMPARE(discs->recordCount(), 2);
        QCOMPARE(discs->recNo(), 1); // the new disc stays current
        QCOMPARE(f.data->countRows(QStringLiteral("Archiv01")), 8);
        const int recnr = discs->fieldIndex(QStringLiteral("recnr"));
        QVERIFY(discs->valueAt(0, recnr) != discs->valueAt(1, recnr));
        for (int row : {0, 1}) {
            discs->moveTo(row);
            QCOMPARE(discFiles(*f.data, disc.path()), discTreeTracks);
        }
    }

    void folderWithoutFilesMakesNoDisc()
    {
        WindowFixture f;
        QTemporaryDir disc;
        QVERIFY(QDir().mkpath(disc.filePath(QStringLiteral("leer/leerer"))));
        scanDisc(f, disc.path());
        QCOMPARE(f.data->MSarchiv00->recordCount(), 0);
        QCOMPARE(f.window->mediaPage->Label41->text(), QStringLiteral("0 Mediensätze eingelesen"));
        QCOMPARE(f.window->discPage->LMDProgress3->value(), 100);
    }

    void discIsNamedAfterTheFirstFilesVolume()
    {
        WindowFixture f;
        QStringList asked;
        DiscRecords records(f.data->MSarchiv00, f.data->MSarchiv01, QDate(2025, 1, 2), [&](const QString& path) {
            asked.append(path);
            return QStringLiteral("FERIEN_CD");
        });
        records.add(QStringLiteral("/cd/a/eins.mp3;10"));
        records.add(QStringLiteral("/cd/zwei.mp3;20"));
        QCOMPARE(asked, QStringList{QStringLiteral("/cd/a/eins.mp3")});
        QCOMPARE(f.data->MSarchiv00->value(QStringLiteral("Name")).toString(), QStringLiteral("FERIEN_CD"));
        QCOMPARE(records.tracks(), 2);
    }

    void playbackHandsTheExactText()
    {
        WindowFixture f([](DataModule& d) {
            DiscRecords records(d.MSarchiv00, d.MSarchiv01, QDate(2025, 1, 2),
                                [](const QString&) { return QString(); });
            records.add(QStringLiteral("/musik/erstes.mp3;1"));
            records.add(QStringLiteral("/musik/Track #2.mp3;1"));
            d.MSarchiv01->moveTo(1);
        });
        f.action("dxBarButton14")->trigger();
        QCOMPARE(f.shell.opened, QStringList{QStringLiteral("file:///musik/Track #2.mp3")});
        QCOMPARE(f.data->MSarchiv01->recNo(), 1);
    }

    void playbackWithoutFileDoesNothing()
    {
        WindowFixture f;
        f.action("dxBarButton14")->trigger();
        QVERIFY(f.shell.opened.isEmpty());
        QVERIFY(f.dialogs.errors.isEmpty());
    }

    void doorCommandsMoveTheDoor()
    {
        WindowFixture f;
        f.action("dxBarButton15")->trigger();
        f.action("dxBarButton16")->trigger();
        QCOMPARE(f.driveDoor.moves, (QStringList{QStringLiteral("open"), QStringLiteral("close")}));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(f.dialogs.errors.isEmpty() && f.dialogs.messages.isEmpty());
        QCOMPARE(f.data->MSarchiv00->recordCount(), 0);
    }
};

QTEST_MAIN(TestDiscScan)
#include "tst_discscan.moc"
