#include "platform/DriveDoor.h"
#include "platform/VolumeLabel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// An ISO 9660 image holding only its primary volume descriptor.
QByteArray isoImage(const QByteArray& volumeName)
{
    QByteArray image(17 * 2048, '\0');
    QByteArray descriptor(2048, '\0');
    descriptor[0] = 1;
    descriptor.replace(1, 5, "CD001");
    descriptor.replace(40, 32, volumeName.leftJustified(32, ' '));
    image.replace(16 * 2048, 2048, descriptor);
    return image;
}

} // namespace

class TestDiscDrive : public QObject
{
    Q_OBJECT

private slots:
    void volumeLabel_data()
    {
        QTest::addColumn<QString>("fileSystem");
        QTest::addColumn<QString>("linkName"); // in the label folder, pointing at the device
        QTest::addColumn<bool>("deviceSource");
        QTest::addColumn<QString>("expected");
        QTest::newRow("label link") << "iso9660"
                                    << "Urlaub\\x202024" << true << "Urlaub 2024";
        QTest::newRow("disc without link") << "iso9660"
                                           << "" << true << "FERIEN_CD";
        QTest::newRow("partition without label") << "ext4"
                                                 << "" << true << "";
        QTest::newRow("network share") << "cifs"
                                       << "" << false << "";
    }
    void volumeLabel()
    {
        QFETCH(QString, fileSystem);
        QFETCH(QString, linkName);
        QFETCH(bool, deviceSource);
        QFETCH(QString, expected);

        QTemporaryDir tmp;
        const QString device = tmp.filePath(QStringLiteral("sr0"));
        QFile image(device);
        QVERIFY(image.open(QIODevice::WriteOnly));
        image.write(isoImage("FERIEN_CD"));
        image.close();
        const QString labels = tmp.filePath(QStringLiteral("by-label"));
        QVERIFY(QDir().mkpath(labels));
        if (!linkName.isEmpty())
            QVERIFY(QFile::link(device, labels + QLatin1Char('/') + linkName));
        const QString file = tmp.filePath(QStringLiteral("track01.mp3"));
        QFile(file).open(QIODevice::WriteOnly);

        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
        const QByteArray source = deviceSource ? QFile::encodeName(device) : QByteArray("//server/musik");
        const QByteArray mountInfo = "22 1 0:99 / /proc rw - proc proc rw\n36 25 " +
                                     QByteArray::number(major(st.st_dev)) + ':' + QByteArray::number(minor(st.st_dev)) +
                                     " / /media/cd ro - " + fileSystem.toLatin1() + ' ' + source + " ro\n";
        QCOMPARE(::volumeLabel(file, mountInfo, labels), expected);
    }

    void volumeLabelOfMissingFileIsEmpty() { QCOMPARE(::volumeLabel(QStringLiteral("/gibt/es/nicht.mp3")), QString()); }

    void doorWithoutDriveDoesNothing_data()
    {
        QTest::addColumn<QString>("device");
        QTest::newRow("no device") << "/gibt/es/nicht";
        QTest::newRow("not a drive") << "/dev/null";
    }
    void doorWithoutDriveDoesNothing()
    {
        QFETCH(QString, device);
        CdromDriveDoor door(device);
        QElapsedTimer clock;
        clock.start();
        door.open();
        door.close();
        QVERIFY(clock.elapsed() < 1000);
    }
};

QTEST_GUILESS_MAIN(TestDiscDrive)
#include "tst_discdrive.moc"
