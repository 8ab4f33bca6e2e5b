#include "platform/FolderSearch.h"
#include "platform/OrdnixError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

void makeFile(const QString& path, qint64 size = 1)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QVERIFY(file.resize(size)); // sparse where the size is large
}

QStringList find(const QString& folder, const QString& mask = QStringLiteral("*.*"), bool recurse = true)
{
    QStringList lines;
    FindAllFiles(folder, mask, recurse, lines);
    return lines;
}

} // namespace

class TestFolderSearch : public QObject
{
    Q_OBJECT

private slots:
    void subFoldersComeFirst()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path();
        makeFile(root + QLatin1String("/a.txt"));
        makeFile(root + QLatin1String("/sub/b.txt"));
        makeFile(root + QLatin1String("/sub/deeper/c.txt"));
        makeFile(root + QLatin1String("/other/d.txt"));
        QVERIFY(QDir().mkpath(root + QLatin1String("/empty")));

        const QStringList lines = find(root);
        // The sub-folders come in the order the folder lists them, each one searched whole.
        const QStringList listed = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
        QStringList expected;
        for (const QString& sub : listed) {
            if (sub == QLatin1String("sub"))
                expected << root + QLatin1String("/sub/deeper/c.txt;1") << root + QLatin1String("/sub/b.txt;1");
            else if (sub == QLatin1String("other"))
                expected << root + QLatin1String("/other/d.txt;1");
        }
        expected << root + QLatin1String("/a.txt;1");
        QCOMPARE(lines, expected);

        // Without recursion only the folder's own files; a trailing '/' is not doubled.
        QCOMPARE(find(root + QLatin1Char('/'), QStringLiteral("*.*"), false),
                 QStringList{root + QLatin1String("/a.txt;1")});
    }

    void hiddenFilesAndFoldersCount()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path();
        makeFile(root + QLatin1String("/.versteckt/lied.mp3"));
        makeFile(root + QLatin1String("/.lied.mp3"));
        QStringList lines = find(root, QStringLiteral("*.mp3"));
        lines.sort();
        QCOMPARE(lines,
                 (QStringList{root + QLatin1String("/.lied.mp3;1"), root + QLatin1String("/.versteckt/lied.mp3;1")}));
    }

    void masks_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("other case") << "*.mp3"
                                    << "Lied.MP3" << true;
        QTest::newRow("umlaut in either case") << "Ä*.ogg"
                                               << "ärger.OGG" << true;
        QTest::newRow("longer extension") << "*.mp3"
                                          << "lied.mp3x" << false;
        QTest::newRow("extension in the middle") << "*.mp3"
                                                 << "lied.mp3.bak" << false;
        QTest::newRow("star point star, no point") << "*.*"
                                                   << "README" << true;
        QTest::newRow("empty mask") << ""
                                    << "README" << true;
        QTest::newRow("stem star, no point") << "a*.*"
                                             << "abc" << true;
        QTest::newRow("stem star, other stem") << "a*.*"
                                               << "bcd" << false;
        QTest::newRow("question mark") << "a?c.txt"
                                       << "abc.txt" << true;
        QTest::newRow("question mark needs a character") << "a?c.txt"
                                                         << "ac.txt" << false;
        QTest::newRow("bracket is a character") << "["
                                                << "[" << true;
        QTest::newRow("bracket matches nothing else") << "["
                                                      << "a" << false;
        QTest::newRow("bracket set is literal") << "[ab].txt"
                                                << "a.txt" << false;
        QTest::newRow("several stars") << "*a*b*"
                                       << "xxaxxbxx" << true;
        QTest::newRow("several stars, wrong order") << "*a*b*"
                                                    << "xxbxxaxx" << false;
    }
    void masks()
    {
        QFETCH(QString, mask);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(WildcardMask(mask).matches(name), matches);
    }

    void sizesBeyondTwoGigabytes()
    {
        QTemporaryDir tmp;
        makeFile(tmp.filePath(QStringLiteral("gross.iso")), 4294967297LL);
        QCOMPARE(find(tmp.path()), QStringList{tmp.filePath(QStringLiteral("gross.iso;4294967297"))});
    }

    void linksToFoldersAreNotEntered()
    {
        QTemporaryDir tmp;
        const QString root = tmp.path();
        makeFile(root + QLatin1String("/sub/lied.mp3"), 5);
        // A link back up the tree would otherwise lead round for ever.
        QVERIFY(QFile::link(root, root + QLatin1String("/sub/hoch")));
        QVERIFY(QFile::link(root + QLatin1String("/sub/lied.mp3"), root + QLatin1String("/verweis.mp3")));
        QVERIFY(QFile::link(root + QLatin1String("/fehlt.mp3"), root + QLatin1String("/tot.mp3")));
        QStringList lines = find(root);
        lines.sort();
        const qint64 deadLinkSize = QFile::encodeName(root + QLatin1String("/fehlt.mp3")).size();
        QCOMPARE(lines, (QStringList{root + QLatin1String("/sub/lied.mp3;5"),
                                     root + QStringLiteral("/tot.mp3;%1").arg(deadLinkSize),
                                     root + QLatin1String("/verweis.mp3;5")}));
    }

    void unreadableSubFolderIsPassedOver()
    {
        if (::geteuid() == 0)
            QSKIP("every folder is readable for root");
        QTemporaryDir tmp;
        const QString root = tmp.path();
        makeFile(root + QLatin1String("/zu/geheim.txt"));
        makeFile(root + QLatin1String("/offen.txt"));
        QVERIFY(QFile::setPermissions(root + QLatin1String("/zu"), QFileDevice::Permissions()));
        const QStringList lines = find(root);
        QFile::setPermissions(root + QLatin1String("/zu"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(lines, QStringList{root + QLatin1String("/offen.txt;1")});
    }

    void missingFolderIsAnError()
    {
        QTemporaryDir tmp;
        const QString missing = tmp.filePath(QStringLiteral("gibt-es-nicht"));
        try {
            find(missing);
            QFAIL("no error");
        } catch (const OrdnixError& error) {
            QVERIFY2(error.message().contains(missing), qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestFolderSearch)
#include "tst_foldersearch.moc"
