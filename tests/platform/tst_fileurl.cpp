#include "platform/FileUrl.h"

#include <QStandardPaths>
#include <QTest>

namespace {

// A machine with one local disk, one share with a blank in its mount point and one plain share.
const MountTable& fixture()
{
    static const MountTable table = MountTable::parse("/dev/sda1 / ext4 rw,relatime 0 0\n"
                                                      "proc /proc proc rw 0 0\n"
                                                      "//nas/bilder /mnt/nas cifs rw 0 0\n"
                                                      "//fileserver/Alte\\040Fotos /media/anna/alte\\040fotos cifs "
                                                      "rw,vers=3.0 0 0\n"
                                                      "//nas/bilder/tiefer /mnt/nas/tiefer smb3 rw 0 0\n"
                                                      "tmpfs /mnt/nasa tmpfs rw 0 0\n");
    return table;
}

} // namespace

class TestFileUrl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void folderToFileUrl_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("url");

        QTest::newRow("local") << QStringLiteral("/home/anna/Bilder") << QStringLiteral("file:///home/anna/Bilder/");
        QTest::newRow("local, trailing slash")
            << QStringLiteral("/home/anna/Bilder/") << QStringLiteral("file:///home/anna/Bilder/");
        QTest::newRow("local, doubled slashes")
            << QStringLiteral("/home/anna/Bilder//") << QStringLiteral("file:///home/anna/Bilder/");
        QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("file:///");
        QTest::newRow("share root") << QStringLiteral("/mnt/nas") << QStringLiteral("file:////nas/bilder/");
        QTest::newRow("share folder") << QStringLiteral("/mnt/nas/Audi/A4/")
                                      << QStringLiteral("file:////nas/bilder/Audi/A4/");
        QTest::newRow("share with blank in mount point")
            << QStringLiteral("/media/anna/alte fotos/1998") << QStringLiteral("file:////fileserver/Alte Fotos/1998/");
        QTest::newRow("share mounted inside a share")
            << QStringLiteral("/mnt/nas/tiefer/x") << QStringLiteral("file:////nas/bilder/tiefer/x/");
        QTest::newRow("name that only starts like a mount point")
            << QStringLiteral("/mnt/nasa/Bilder") << QStringLiteral("file:///mnt/nasa/Bilder/");
    }

    void folderToFileUrl()
    {
        QFETCH(QString, folder);
        QFETCH(QString, url);
        QCOMPARE(::folderToFileUrl(folder, fixture()), url);
    }

    void fileUrlToPath_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("path");

        QTest::newRow("local folder") << QStringLiteral("file:///home/anna/Bilder/")
                                      << QStringLiteral("/home/anna/Bilder/");
        QTest::newRow("local file") << QStringLiteral("file:///home/anna/Bilder/auto.jpg")
                                    << QStringLiteral("/home/anna/Bilder/auto.jpg");
        QTest::newRow("share file") << QStringLiteral("file:////nas/bilder/Audi/a4.jpg")
                                    << QStringLiteral("/mnt/nas/Audi/a4.jpg");
        QTest::newRow("share with blank")
            << QStringLiteral("file:////fileserver/Alte Fotos/1998/") << QStringLiteral("/media/anna/alte fotos/1998/");
        QTest::newRow("share not mounted")
            << QStringLiteral("file:////andere/freigabe/x/") << QStringLiteral("//andere/freigabe/x/");
        QTest::newRow("share name that only starts like a mounted one")
            << QStringLiteral("file:////nas/bilderalt/x/") << QStringLiteral("//nas/bilderalt/x/");
    }

    void fileUrlToPath()
    {
        QFETCH(QString, url);
        QFETCH(QString, path);
        QCOMPARE(::fileUrlToPath(url, fixture()), path);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("local") << QStringLiteral("/home/anna/Bilder/Audi/");
        QTest::newRow("share") << QStringLiteral("/mnt/nas/Audi/");
        QTest::newRow("share root") << QStringLiteral("/mnt/nas/");
        QTest::newRow("share with blank") << QStringLiteral("/media/anna/alte fotos/");
        QTest::newRow("umlauts") << QStringLiteral("/mnt/nas/Größe ä/");
    }

    void roundTrip()
    {
        QFETCH(QString, folder);
        const QString url = ::folderToFileUrl(folder, fixture());
        QVERIFY(url.startsWith(QLatin1String("file://")));
        QVERIFY(url.endsWith(QLatin1Char('/')));
        QCOMPARE(::fileUrlToPath(url, fixture()), folder);
        QCOMPARE(::fileUrlToPath(url + QLatin1String("bild.jpg"), fixture()), folder + QLatin1String("bild.jpg"));
    }

    void withoutSharesPathsStayAsTheyAre()
    {
        const MountTable none;
        QCOMPARE(::folderToFileUrl(QStringLiteral("/mnt/nas/Audi"), none), QStringLiteral("file:///mnt/nas/Audi/"));
        QCOMPARE(::fileUrlToPath(QStringLiteral("file:////nas/bilder/x.jpg"), none),
                 QStringLiteral("//nas/bilder/x.jpg"));
    }
};

QTEST_GUILESS_MAIN(TestFileUrl)
#include "tst_fileurl.moc"
