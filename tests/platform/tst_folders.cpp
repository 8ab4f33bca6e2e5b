#include "platform/Folders.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t modeOf(const QString& path)
{
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write("x");
}

} // namespace

class TestFolders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void ensureFolderCreatesParents()
    {
        QTemporaryDir tmp;
        const QString folder = tmp.filePath(QStringLiteral("a/b/c"));
        QVERIFY(ensureFolder(folder));
        QVERIFY(QFileInfo(folder).isDir());
        // An existing folder is left as it is, with its contents.
        touch(folder + QLatin1String("/keep.txt"));
        QVERIFY(ensureFolder(folder));
        QVERIFY(QFileInfo::exists(folder + QLatin1String("/keep.txt")));
    }

    void ensureFolderStopsAtPlainFile()
    {
        QTemporaryDir tmp;
        const QString file = tmp.filePath(QStringLiteral("temp"));
        touch(file);
        QVERIFY(!ensureFolder(file));
        QVERIFY(QFileInfo(file).isFile());
        // Nor can anything be created below it.
        QVERIFY(!ensureFolder(file + QLatin1String("/sub")));
        QVERIFY(QFileInfo(file).isFile());
    }

    void ensurePrivateFolderCreatesWithOwnerOnly()
    {
        QTemporaryDir tmp;
        const QString folder = tmp.filePath(QStringLiteral("parent/ordnix-anna"));
        QVERIFY(ensurePrivateFolder(folder));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(modeOf(folder), mode_t(0700));
        // A second call on the existing folder succeeds.
        QVERIFY(ensurePrivateFolder(folder + QLatin1Char('/')));
    }

    void ensurePrivateFolderNarrowsOurFolder()
    {
        QTemporaryDir tmp;
        const QString folder = tmp.filePath(QStringLiteral("ordnix-anna"));
        QVERIFY(QDir().mkdir(folder));
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
        QVERIFY(ensurePrivateFolder(folder));
        QCOMPARE(modeOf(folder), mode_t(0700));
    }

    void ensurePrivateFolderRefusesForeignPlaces_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link to a folder") << QStringLiteral("link");
        QTest::newRow("plain file") << QStringLiteral("file");
        QTest::newRow("folder of another user") << QStringLiteral("foreign");
    }

    void ensurePrivateFolderRefusesForeignPlaces()
    {
        QFETCH(QString, kind);
        QTemporaryDir tmp;
        const QString target = tmp.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkdir(target));
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0755), 0);
        const QString place = tmp.filePath(QStringLiteral("ordnix-anna"));
        if (kind == QLatin1String("link")) {
            QVERIFY(QFile::link(target, place));
        } else if (kind == QLatin1String("file")) {
            touch(place);
        } else {
            if (::geteuid() != 0)
                QSKIP("Handing a folder to another user needs root.");
            QVERIFY(QDir().mkdir(place));
            QCOMPARE(::chown(QFile::encodeName(place).constData(), 65534, 65534), 0);
        }
        QVERIFY(!ensurePrivateFolder(place));
        // Nothing was changed through the link.
        QCOMPARE(modeOf(target), mode_t(0755));
    }

    void deleteMatchingFiles_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QStringList>("deleted");

        QTest::newRow("gallery pages") << QStringLiteral("image_*.htm")
                                       << QStringList{QStringLiteral("image_1.htm"), QStringLiteral("image_12.htm")};
        QTest::newRow("list file") << QStringLiteral("daten.txt") << QStringList{QStringLiteral("daten.txt")};
        QTest::newRow("media lists") << QStringLiteral("media*.txt")
                                     << QStringList{QStringLiteral("media.txt"), QStringLiteral("media2.txt")};
        // A mask that can match a dot file removes the hidden ones too.
        QTest::newRow("hidden included") << QStringLiteral("*.txt")
                                         << QStringList{QStringLiteral(".versteckt.txt"), QStringLiteral("daten.txt"),
                                                        QStringLiteral("media.txt"),      QStringLiteral("media2.txt"),
                                                        QStringLiteral("notes.txt"),      QStringLiteral("xmedia.txt")};
    }

    void deleteMatchingFiles()
    {
        QFETCH(QString, mask);
        QFETCH(QStringList, deleted);

        QTemporaryDir tmp;
        const QString folder = tmp.filePath(QStringLiteral("temp"));
        QVERIFY(QDir().mkdir(folder));
        const QStringList files = {
            QStringLiteral("image_1.htm"), QStringLiteral("image_12.htm"), QStringLiteral("image_1.html"),
            QStringLiteral("image.htm"),   QStringLiteral("daten.txt"),    QStringLiteral("daten.txt.bak"),
            QStringLiteral("media.txt"),   QStringLiteral("media2.txt"),   QStringLiteral("media.csv"),
            QStringLiteral("xmedia.txt"),  QStringLiteral("notes.txt"),
        };
        for (const QString& name : files)
            touch(folder + QLatin1Char('/') + name);
        // Folders that match stay with their contents.
        touch(folder + QLatin1String("/.versteckt.txt"));
        touch(folder + QLatin1String("/.image_versteckt.htm"));
        const QString matchingFolder = folder + QLatin1String("/image_9.htm");
        QVERIFY(QDir().mkdir(matchingFolder));
        touch(matchingFolder + QLatin1String("/inner.txt"));
        QVERIFY(QDir().mkdir(folder + QLatin1String("/media_dir.txt")));

        const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        ::deleteMatchingFiles(mask, folder);
        const QStringList after = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        QStringList expected = before;
        for (const QString& name : deleted)
            QVERIFY2(expected.removeOne(name), qPrintable(name));
        QCOMPARE(after, expected);
        QVERIFY(QFileInfo::exists(matchingFolder + QLatin1String("/inner.txt")));
    }

    void deleteMatchingFilesAcceptsFolderWithSlash()
    {
        QTemporaryDir tmp;
        touch(tmp.filePath(QStringLiteral("daten.txt")));
        ::deleteMatchingFiles(QStringLiteral("daten.txt"), tmp.path() + QLatin1Char('/'));
        QVERIFY(!QFileInfo::exists(tmp.filePath(QStringLiteral("daten.txt"))));
        // A missing folder is no failure.
        ::deleteMatchingFiles(QStringLiteral("daten.txt"), tmp.filePath(QStringLiteral("missing")));
    }

    void pathsInsideOneFolder()
    {
        QTemporaryDir tmp;
        const Paths paths = Paths::inside(tmp.path());
        const QString root = tmp.path() + QLatin1Char('/');
        for (const QString& place : {paths.database, paths.tempFolder, paths.configFolder, paths.helpPage})
            QVERIFY2(place.startsWith(root) && place.size() > root.size(), qPrintable(place));
        QCOMPARE(QFileInfo(paths.database).fileName(), QStringLiteral("media.db"));
        QVERIFY(paths.tempFolder.endsWith(QLatin1Char('/')));
        QVERIFY(paths.tempFolder != paths.configFolder + QLatin1Char('/'));
        QVERIFY(!paths.databaseGiven);
        // Nothing is created on disk by merely deciding the places.
        QVERIFY(QDir(tmp.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFolders)
#include "tst_folders.moc"
