#include "PictureFixtures.h"
#include "images/Pictures.h"
#include "images/magick/MagickImagePlugin.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

using namespace PictureFixtures;

namespace {

// The marker that starts the frame: C0 baseline, C2 progressive; and the number of components.
std::pair<uchar, int> frameOf(const QByteArray& jpeg)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const auto marker = uchar(jpeg[i + 1]);
        if (uchar(jpeg[i]) == 0xFF && marker >= 0xC0 && marker <= 0xC2)
            return {marker, int(uchar(jpeg[i + 9]))};
    }
    return {0, 0};
}

bool near(QRgb a, const QColor& b)
{
    return std::abs(qRed(a) - b.red()) < 24 && std::abs(qGreen(a) - b.green()) < 24 &&
           std::abs(qBlue(a) - b.blue()) < 24;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void thumbnailSizes_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("thumbnail");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("1600x1200 jpeg") << QSize(1600, 1200) << QSize(160, 120) << QByteArray("jpeg");
        QTest::newRow("1200x1600 jpeg") << QSize(1200, 1600) << QSize(90, 120) << QByteArray("jpeg");
        QTest::newRow("100x50 png, never enlarged") << QSize(100, 50) << QSize(100, 50) << QByteArray("png");
        QTest::newRow("640x480 bmp") << QSize(640, 480) << QSize(160, 120) << QByteArray("bmp");
        QTest::newRow("120x90 png") << QSize(120, 90) << QSize(120, 90) << QByteArray("png");
        QTest::newRow("160x120 jpeg") << QSize(160, 120) << QSize(160, 120) << QByteArray("jpeg");
        QTest::newRow("320x237: 118.5 rounds to even") << QSize(320, 237) << QSize(160, 118) << QByteArray("png");
        QTest::newRow("4000x3 sliver keeps a pixel") << QSize(4000, 3) << QSize(160, 1) << QByteArray("png");
    }

    // The thumbnail is a colour baseline JPEG of the fitted size, whatever the picture's format.
    void thumbnailSizes()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, thumbnail);
        QFETCH(QByteArray, format);
        QCOMPARE(Pictures::thumbnailSize(picture, 160, 120), thumbnail);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bild.") + QString::fromLatin1(format));
        QImage image(picture, QImage::Format_Grayscale8);
        image.fill(128);
        QVERIFY(write(path, encoded(image, format.constData())));
        const Pictures::Thumbnail made = Pictures::MakeThumbnail(path, 160, 120);
        QVERIFY2(made.error.isEmpty(), qPrintable(made.error));
        QCOMPARE(made.pictureSize, picture);
        QCOMPARE(made.image.size(), thumbnail);
        QCOMPARE(QImage::fromData(made.jpeg, "jpeg").size(), thumbnail);
        const auto [marker, components] = frameOf(made.jpeg);
        QCOMPARE(marker, uchar(0xC0));
        QCOMPARE(components, 3); // colour, even for a grey picture
    }

    void thumbnailFollowsTheStoredOrientation()
    {
        // Stored wide, red left and blue right; shown turned a quarter clockwise: red on top.
        QImage stored = filled(1600, 1200, Qt::blue);
        for (int y = 0; y < 1200; ++y) {
            for (int x = 0; x < 800; ++x)
                stored.setPixel(x, y, qRgb(255, 0, 0));
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("hoch.jpg"));
        QVERIFY(write(path, jpegWithOrientation(stored, 6)));
        const Pictures::Thumbnail made = Pictures::MakeThumbnail(path, 160, 120);
        QVERIFY2(made.error.isEmpty(), qPrintable(made.error));
        QCOMPARE(made.pictureSize, QSize(1200, 1600));
        const QImage shown = QImage::fromData(made.jpeg, "jpeg");
        QCOMPARE(shown.size(), QSize(90, 120));
        QVERIFY(near(shown.pixel(45, 10), Qt::red));
        QVERIFY(near(shown.pixel(45, 110), Qt::blue));
    }

    void transparencyLiesOnWhite()
    {
        QImage image(40, 30, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        const QImage made = QImage::fromData(Pictures::encodeThumbnail(image), "jpeg");
        QVERIFY(near(made.pixel(20, 15), Qt::white));
    }

    // Formats Qt reads itself (TGA) and through the program's own reader (PCX), by content.
    void readsPcxAndTga_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QImage picture = filled(400, 300, QColor(0, 160, 0));
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 400; ++x)
                picture.setPixel(x, y, qRgb(250, 200, 0));
        }
        QTest::newRow("pcx") << QStringLiteral("bild.pcx") << pcx(picture);
        QTest::newRow("pcx with upper-case name") << QStringLiteral("BILD.PCX") << pcx(picture);
        QTest::newRow("tga") << QStringLiteral("bild.tga") << tga(picture);
        QTest::newRow("tga 2.0 with footer")
            << QStringLiteral("bild.tga") << tga(picture) + QByteArray(8, '\0') + QByteArray("TRUEVISION-XFILE.\0", 18);
    }

    void readsPcxAndTga()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QVERIFY(write(path, bytes));
        const Pictures::Thumbnail made = Pictures::MakeThumbnail(path, 160, 120);
        QVERIFY2(made.error.isEmpty(), qPrintable(made.error));
        QCOMPARE(made.pictureSize, QSize(400, 300));
        QCOMPARE(made.image.size(), QSize(160, 120));
        QVERIFY(near(made.image.pixel(80, 20), QColor(250, 200, 0)));
        QVERIFY(near(made.image.pixel(80, 100), QColor(0, 160, 0)));
    }

    // Only a signature of an allowed format leads to ImageMagick, and only to that one coder.
    void readerAllowsOnlyItsFormats_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("coder");
        const QByteArray pad(600, '\0');
        QTest::newRow("pcx") << pcx(filled(4, 4, Qt::red)) << QByteArray("PCX");
        QTest::newRow("psd") << QByteArray("8BPS\0\1", 6) + pad << QByteArray("PSD");
        QTest::newRow("psb") << QByteArray("8BPS\0\2", 6) + pad << QByteArray("PSB");
        QTest::newRow("xcf") << QByteArray("gimp xcf v011\0") + pad << QByteArray("XCF");
        QTest::newRow("heic") << QByteArray("\0\0\0\x18"
                                            "ftypheic\0\0\0\0mif1heic",
                                            24) +
                                     pad
                              << QByteArray("HEIC");
        QTest::newRow("avif") << QByteArray("\0\0\0\x1C"
                                            "ftypavif\0\0\0\0mif1miafavif",
                                            28) +
                                     pad
                              << QByteArray("AVIF");
        QTest::newRow("mp4 is no picture") << QByteArray("\0\0\0\x18"
                                                         "ftypisom\0\0\0\0isomavc1",
                                                         24) +
                                                  pad
                                           << QByteArray();
        QTest::newRow("miff") << QByteArray("id=ImageMagick\n") + pad << QByteArray();
        QTest::newRow("postscript") << QByteArray("%!PS-Adobe-3.0\n") + pad << QByteArray();
        QTest::newRow("svg") << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"/>") + pad << QByteArray();
        QTest::newRow("text with a leading line feed") << QByteArray("\nHallo Welt") + pad << QByteArray();
    }

    void readerAllowsOnlyItsFormats()
    {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, coder);
        QCOMPARE(MagickImageHandler::coderFor(head.left(512)), coder);
    }

    void unreadablePicturesNameTheFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray jpeg = encoded(filled(64, 48, Qt::red), "jpeg");
        QTest::newRow("damaged jpeg") << QStringLiteral("kaputt.jpg") << jpeg.left(jpeg.size() / 3);
        QTest::newRow("damaged pcx") << QStringLiteral("kaputt.pcx") << pcx(filled(64, 48, Qt::red)).left(140);
        QTest::newRow("text named like a picture") << QStringLiteral("brief.jpg") << QByteArray("Sehr geehrte Damen\n");
        QTest::newRow("image magick file named pcx") << QStringLiteral("x.pcx") << QByteArray("id=ImageMagick\n:\x1A");
        QByteArray huge = pcx(filled(4, 4, Qt::red));
        qToLittleEndian<quint16>(59999, huge.data() + 8); // claims 60000 x 60000: over the reader's limits
        qToLittleEndian<quint16>(59999, huge.data() + 10);
        QTest::newRow("pcx too large") << QStringLiteral("riesig.pcx") << huge;
        QTest::newRow("empty") << QStringLiteral("leer.png") << QByteArray();
        QTest::newRow("missing") << QStringLiteral("fehlt.jpg") << QByteArray("-");
        QTest::newRow("folder") << QStringLiteral("ordner.jpg") << QByteArray("/");
    }

    void unreadablePicturesNameTheFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (bytes == "/")
            QVERIFY(QDir().mkdir(path));
        else if (bytes != "-")
            QVERIFY(write(path, bytes) || bytes.isEmpty());
        const Pictures::Thumbnail made = Pictures::MakeThumbnail(path, 160, 120);
        QVERIFY(made.jpeg.isEmpty());
        QVERIFY2(made.error.startsWith(QStringLiteral("Das Bild „%1“ kann nicht gelesen werden").arg(path)),
                 qPrintable(made.error));
    }

    void dialogFilterOffersEveryReadableFormat()
    {
        const QString filter = Pictures::dialogFilter();
        QVERIFY(filter.startsWith(QStringLiteral("Alle Bilddateien (")));
        for (const char* pattern : {"*.jpg", "*.JPG", "*.png", "*.tga", "*.tif", "*.bmp", "*.gif", "*.pcx", "*.psd"})
            QVERIFY2(filter.section(QStringLiteral(";;"), 0, 0).contains(QLatin1String(pattern)), pattern);
        QVERIFY(filter.endsWith(QStringLiteral(";;Alle Dateien (*)")));
    }
};

QTEST_GUILESS_MAIN(TestPictures)
#include "tst_pictures.moc"
