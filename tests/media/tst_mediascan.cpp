#include "data/DataModule.h"
#include "gridtools/CatalogueGrid.h"
#include "media/MediaList.h"
#include "media/MediaPage.h"
#include "platform/CodePage.h"
#include "platform/FileUrl.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

namespace {

const QString label41Suffix = QStringLiteral(" Mediensätze eingelesen");

void makeFile(const QString& path, qint64 size = 1)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QVERIFY(file.resize(size));
}

void makeFiles(const QString& root, const QStringList& names)
{
    for (const QString& name : names)
        makeFile(root + QLatin1Char('/') + name);
}

// Makes the type the chosen one, as a click on its row in the type grid does.
void chooseType(DataModule& d, const QString& pattern)
{
    d.MSMediaTyp->append();
    d.MSMediaTyp->setValue(QStringLiteral("Dateityp"), pattern);
    d.MSMediaTyp->setValue(QStringLiteral("Beschreibung"), QStringLiteral("Test"));
    d.MSMediaTyp->post();
}

void runScan(WindowFixture& f, const QString& folder)
{
    f.dialogs.folderAnswers.enqueue(folder);
    f.action("AlleMediendatenladen1")->trigger();
}

// The Media records as "folder below the root|name|type|size", in table order.
QStringList records(DataModule& d, const QString& root)
{
    const QString rootUrl = folderToFileUrl(root);
    TableObject* t = d.MSMedia;
    QStringList out;
    for (int row = 0; row < t->recordCount(); ++row) {
        const QString url = t->valueAt(row, t->fieldIndex(QStringLiteral("Dateipfad"))).toString();
        const QString name = t->valueAt(row, t->fieldIndex(QStringLiteral("Dateiname"))).toString();
        if (!url.startsWith(rootUrl) || !QFileInfo::exists(fileUrlToPath(url) + name))
            out.append(QStringLiteral("not the scanned file: ") + url + name);
        out.append(url.mid(rootUrl.size()) + QLatin1Char('|') + name + QLatin1Char('|') +
                   t->valueAt(row, t->fieldIndex(QStringLiteral("Dateityp"))).toString() + QLatin1Char('|') +
                   QString::number(t->valueAt(row, t->fieldIndex(QStringLiteral("Groesse"))).toLongLong()));
    }
    return out;
}

// UTF-8 literals, as the data tables write them.
QStringList names(std::initializer_list<const char*> texts)
{
    QStringList out;
    for (const char* text : texts)
        out.append(QString::fromUtf8(text));
    return out;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

void addMedia(DataModule& d, const QString& url, const QString& name)
{
    d.MSMedia->append();
    d.MSMedia->setValue(QStringLiteral("Dateipfad"), url);
    d.MSMedia->setValue(QStringLiteral("Dateiname"), name);
    d.MSMedia->post();
}

} // namespace

class TestMediaScan : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void scan_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("nothing matches") << "*.mp3" << names({"a.txt", "sub/b.ogg"}) << QStringList{};
        QTest::newRow("every file") << "*.*" << names({"a.txt", "sub/b", "c.tar.gz"})
                                    << names({"sub/|b||1", "|a.txt|txt|1", "|c.tar.gz|gz|1"});
        QTest::newRow("extensions") << "*.*" << names({"README", "lied.Audio", "film.MP4"})
                                    << names({"|README||1", "|lied.Audio|audi|1", "|film.MP4|mp4|1"});
        QTest::newRow("hidden") << "*.mp3" << names({".versteckt/a.mp3", ".b.mp3", "c.txt"})
                                << names({".versteckt/|a.mp3|mp3|1", "|.b.mp3|mp3|1"});
        QTest::newRow("semicolons") << "*.mp3" << names({"a;b.mp3", "ordner;1/c;.mp3"})
                                    << names({"|a;b.mp3|mp3|1", "ordner;1/|c;.mp3|mp3|1"});
        QTest::newRow("same name twice") << "*.MP3" << names({"x/lied.mp3", "y/lied.mp3"})
                                         << names({"x/|lied.mp3|mp3|1", "y/|lied.mp3|mp3|1"});
        QTest::newRow("beyond windows-1252") << "*.mp3" << names({"Grüße/Ärger.mp3", "日本/東京.mp3"})
                                             << names({"Grüße/|Ärger.mp3|mp3|1", "日本/|東京.mp3|mp3|1"});
        QTest::newRow("line break in a name") << "*.mp3" << names({"zwei\nZeilen.mp3", "back\\slash.mp3"})
                                              << names({"|zwei\nZeilen.mp3|mp3|1", "|back\\slash.mp3|mp3|1"});
    }
    void scan()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, files);
        QFETCH(QStringList, expected);
        WindowFixture f([&](DataModule& d) { chooseType(d, pattern); });
        QTemporaryDir tree;
        makeFiles(tree.path(), files);

        runScan(f, tree.path());
        QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(f.dialogs.errors.join(QLatin1Char('\n'))));
        QCOMPARE(sorted(records(*f.data, tree.path())), sorted(expected));
        MediaPage* page = f.window->mediaPage;
        QCOMPARE(page->Label41->text(), QString::number(expected.size()) + label41Suffix);
        QCOMPARE(page->ListBox2->count(), expected.size());
        QCOMPARE(page->LMDProgress2->value(), 100);
        QVERIFY(!page->LMDProgress2->isHidden());
        QCOMPARE(page->cxGrid4->view()->model()->rowCount(), expected.size());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void listFile_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QByteArray>("expected"); // {root} stands for the scanned folder
        QTest::newRow("windows-1252, sorted ignoring case")
            << names({"b.mp3", "A.mp3", "sub/Grüße.mp3"})
            << QByteArray("{root}/A.mp3;1\r\n{root}/b.mp3;1\r\n{root}/sub/Gr\xFC\xDF"
                          "e.mp3;1\r\n");
        QTest::newRow("UTF-8 for a name beyond windows-1252")
            << names({"東京.mp3"}) << QByteArray("\xEF\xBB\xBF{root}/\xE6\x9D\xB1\xE4\xBA\xAC.mp3;1\r\n");
        QTest::newRow("line break and backslash in names")
            << names({"a\r\nb.mp3", "c\\d.mp3"}) << QByteArray("{root}/a\\r\\nb.mp3;1\r\n{root}/c\\\\d.mp3;1\r\n");
    }
    void listFile()
    {
        QFETCH(QStringList, files);
        QFETCH(QByteArray, expected);
        WindowFixture f([](DataModule& d) { chooseType(d, QStringLiteral("*.mp3")); });
        const QString temp = f.context.paths.tempFolder;
        QVERIFY(QDir().mkpath(temp));
        makeFiles(temp, {QStringLiteral("media_alt.txt"), QStringLiteral("MEDIA2.TXT"), QStringLiteral("daten.txt")});
        QTemporaryDir tree;
        makeFiles(tree.path(), files);

        runScan(f, tree.path());
        QFile list(temp + QLatin1String("media.txt"));
        QVERIFY(list.open(QIODevice::ReadOnly));
        const QByteArray bytes = list.readAll();
        QCOMPARE(bytes, expected.replace("{root}", QFile::encodeName(tree.path())));
        // Earlier list files are gone; other files stay.
        QCOMPARE(QDir(temp).entryList(QDir::Files, QDir::Name),
                 (QStringList{QStringLiteral("daten.txt"), QStringLiteral("media.txt")}));
        QStringList shown;
        for (int i = 0; i < f.window->mediaPage->ListBox2->count(); ++i)
            shown.append(f.window->mediaPage->ListBox2->item(i)->text());
        QCOMPARE(shown, MediaList::decode(bytes));
        QCOMPARE(f.data->MSMedia->recordCount(), files.size());
    }

    void longListIsWrittenWhole_data()
    {
        QTest::addColumn<QString>("special"); // put into a line far down the list
        QTest::newRow("windows-1252") << QStringLiteral("Grüße\\x.mp3;7");
        QTest::newRow("UTF-8 decided by a late line") << QStringLiteral("東京.mp3;7");
    }
    void longListIsWrittenWhole()
    {
        QFETCH(QString, special);
        QStringList lines;
        for (int i = 0; i < 10000; ++i)
            lines.append(QStringLiteral("/m/ordner%1/datei%2.mp3;%2").arg(i / 100).arg(i));
        lines[9000] = special;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("media.txt"));
        MediaList::write(path, lines);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes, MediaList::encode(lines));
        QCOMPARE(MediaList::read(path), lines);
    }

    void rescanAddsOnlyNewFilesAndChangesNothing()
    {
        WindowFixture f([](DataModule& d) { chooseType(d, QStringLiteral("*.mp3")); });
        QTemporaryDir tree;
        makeFiles(tree.path(), {QStringLiteral("a.mp3"), QStringLiteral("sub/b.mp3")});
        runScan(f, tree.path());
        QCOMPARE(f.data->MSMedia->recordCount(), 2);
        TableObject* media = f.data->MSMedia;
        media->first();
        media->setValue(QStringLiteral("Beschreibung"), QStringLiteral("mein Lied"));
        media->post();
        const QStringList before = records(*f.data, tree.path());

        runScan(f, tree.path());
        QCOMPARE(records(*f.data, tree.path()), before);
        QCOMPARE(f.window->mediaPage->Label41->text(), QStringLiteral("2") + label41Suffix);
        QCOMPARE(media->valueAt(0, media->fieldIndex(QStringLiteral("Beschreibung"))).toString(),
                 QStringLiteral("mein Lied"));

        makeFile(tree.filePath(QStringLiteral("c.mp3")));
        runScan(f, tree.path());
        QCOMPARE(records(*f.data, tree.path()), before + QStringList{QStringLiteral("|c.mp3|mp3|1")});
        QCOMPARE(f.window->mediaPage->Label41->text(), QStringLiteral("3") + label41Suffix);
        QCOMPARE(f.data->countRows(QStringLiteral("Media")), 3);
    }

    void withoutTypeNothingIsSearched_data()
    {
        QTest::addColumn<bool>("typesLeft");
        QTest::newRow("type without pattern") << true;
        QTest::newRow("no types at all") << false;
    }
    void withoutTypeNothingIsSearched()
    {
        QFETCH(bool, typesLeft);
        WindowFixture f([&](DataModule& d) {
            if (typesLeft) {
                chooseType(d, QString());
            } else {
                while (!d.MSMediaTyp->isEmpty())
                    d.MSMediaTyp->deleteRecord();
            }
        });
        const QString temp = f.context.paths.tempFolder;
        QVERIFY(QDir().mkpath(temp));
        makeFiles(temp, {QStringLiteral("media.txt")});
        f.window->mediaPage->ListBox2->addItem(QStringLiteral("alt"));
        QTemporaryDir tree;
        makeFiles(tree.path(), {QStringLiteral("a.mp3")});
        f.dialogs.folderAnswers.enqueue(tree.path());

        f.action("dxBarLargeButton5")->trigger();
        QCOMPARE(f.dialogs.messages, QStringList{QStringLiteral("Sie müssen einen Dateityp auswählen !")});
        QCOMPARE(f.dialogs.folderAnswers.size(), 1); // the folder was never asked for
        QCOMPARE(f.data->MSMedia->recordCount(), 0);
        // The steps before the question have been done.
        QCOMPARE(f.window->cxPageControl1->currentIndex(), int(MainWindow::MediaFilesPage));
        QVERIFY(!QFile::exists(temp + QLatin1String("media.txt")));
        QCOMPARE(f.window->mediaPage->ListBox2->count(), 0);
    }

    void cancelledFolderDialogEndsTheScan()
    {
        WindowFixture f([](DataModule& d) { chooseType(d, QStringLiteral("*.*")); });
        f.window->dxBarLargeButton1Click();
        f.action("AlleMediendatenladen1")->trigger();
        QCOMPARE(f.dialogs.titles.size(), 1);
        QCOMPARE(f.data->MSMedia->recordCount(), 0);
        QCOMPARE(f.window->cxPageControl1->currentIndex(), int(MainWindow::MediaFilesPage));
        const std::pair<const char*, bool> buttons[] = {{"dxBarLargeButton1", true},  {"dxBarLargeButton2", false},
                                                        {"dxBarLargeButton3", false}, {"dxBarLargeButton4", true},
                                                        {"dxBarLargeButton5", true},  {"dxBarLargeButton6", true}};
        for (const auto& [name, enabled] : buttons)
            QVERIFY2(f.action(name)->isEnabled() == enabled, name);
    }

    void largeFilesAndUnreadableTimes()
    {
        WindowFixture f([](DataModule& d) { chooseType(d, QStringLiteral("*.iso")); });
        QTemporaryDir tree;
        makeFile(tree.filePath(QStringLiteral("gross.iso")), 4294967297LL);
        // A link whose file is gone is listed, but its times cannot be read.
        QVERIFY(QFile::link(tree.filePath(QStringLiteral("weg.iso")), tree.filePath(QStringLiteral("tot.iso"))));
        runScan(f, tree.path());

        TableObject* media = f.data->MSMedia;
        QCOMPARE(media->recordCount(), 2);
        const int size = media->fieldIndex(QStringLiteral("Groesse"));
        const int modified = media->fieldIndex(QStringLiteral("letzteAenderung"));
        QCOMPARE(media->valueAt(0, size).toDouble(), 4294967297.0);
        QCOMPARE(media->valueAt(0, modified).toDateTime(),
                 QFileInfo(tree.filePath(QStringLiteral("gross.iso"))).lastModified());
        QCOMPARE(media->valueAt(1, media->fieldIndex(QStringLiteral("Dateiname"))).toString(),
                 QStringLiteral("tot.iso"));
        for (const char* field : {"Erstelldatum", "letzterZugriff", "letzteAenderung"})
            QVERIFY2(!media->valueAt(1, media->fieldIndex(QLatin1String(field))).isValid(), field);
    }

    void databaseErrorRestoresTheWindow()
    {
        WindowFixture f([](DataModule& d) {
            chooseType(d, QStringLiteral("*.mp3"));
            QSqlQuery q(d.database());
            QVERIFY(q.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Media WHEN NEW.Dateiname = 'c.mp3' "
                                          "BEGIN SELECT RAISE(ABORT, 'abgelehnt'); END")));
        });
        QTemporaryDir tree;
        makeFiles(tree.path(),
                  {QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.mp3"), QStringLiteral("d.mp3")});
        runScan(f, tree.path());

        QCOMPARE(f.dialogs.errors.size(), 1);
        QVERIFY2(f.dialogs.errors.first().contains(QLatin1String("Media")), qPrintable(f.dialogs.errors.first()));
        QCOMPARE(records(*f.data, tree.path()),
                 (QStringList{QStringLiteral("|a.mp3|mp3|1"), QStringLiteral("|b.mp3|mp3|1")}));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(f.window->mediaPage->LMDProgress2->isHidden());
        TableObject* media = f.data->MSMedia;
        QCOMPARE(media->state(), TableObject::State::Browse);
        QVERIFY(!media->controlsDisabled());
        QCOMPARE(f.window->mediaPage->cxGrid4->view()->model()->rowCount(), 2);
        QCOMPARE(f.data->countRows(QStringLiteral("Media")), 2);
    }

    void openingHandsTheExactText_data()
    {
        QTest::addColumn<QString>("Dateipfad");
        QTest::addColumn<QString>("Dateiname");
        QTest::addColumn<QString>("action");
        QTest::newRow("context menu") << "file:///musik/"
                                      << "lied.mp3"
                                      << "dxBarButton2";
        QTest::newRow("toolbar, network share") << "file:////server/share/Musik/"
                                                << "Track #1.mp3"
                                                << "dxBarLargeButton6";
    }
    void openingHandsTheExactText()
    {
        QFETCH(QString, Dateipfad);
        QFETCH(QString, Dateiname);
        QFETCH(QString, action);
        WindowFixture f([&](DataModule& d) {
            addMedia(d, QStringLiteral("file:///anderes/"), QStringLiteral("erstes.mp3"));
            addMedia(d, Dateipfad, Dateiname);
            addMedia(d, QStringLiteral("file:///anderes/"), QStringLiteral("letztes.mp3"));
            d.MSMedia->moveTo(1);
        });
        f.action(action.toLatin1().constData())->setEnabled(true);
        f.action(action.toLatin1().constData())->trigger();
        QCOMPARE(f.shell.opened, QStringList{Dateipfad + Dateiname});
        QCOMPARE(f.data->MSMedia->recNo(), 1);
        QCOMPARE(f.data->MSMedia->state(), TableObject::State::Browse);
        QCOMPARE(f.data->MSMedia->recordCount(), 3);
    }

    void openingWithoutRecordDoesNothing()
    {
        WindowFixture f;
        f.action("dxBarButton2")->trigger();
        QVERIFY(f.shell.opened.isEmpty());
        QVERIFY(f.dialogs.errors.isEmpty());
    }
};

QTEST_MAIN(TestMediaScan)
#include "tst_mediascan.moc"
