#include "PictureFixtures.h"
#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "images/ImportRun.h"
#include "platform/CodePage.h"
#include "platform/FileUrl.h"
#include "platform/Folders.h"
#include "platform/OrdnixError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace PictureFixtures;

namespace {

// A fresh catalogue and a place for picture folders and the temporary folder.
struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<DataModule> data;
    ProgramValues values;
    ScanState state;
    QList<int> progress;

    Fixture()
    {
        Catalogue::create(dir.filePath(QStringLiteral("media.db")));
        data = std::make_unique<DataModule>(dir.filePath(QStringLiteral("media.db")));
        data->DataModuleCreate();
        values.TempFolder = dir.path() + QStringLiteral("/temp/");
        values.HtmlHeading = QStringLiteral("Bildergalerie");
        values.HtmlTableWidth = QStringLiteral("65");
        values.HtmlFontName = QStringLiteral("Arial");
    }

    TableObject* bild() const { return data->MSBild; }

    QString folder(const QString& name) const
    {
        const QString path = dir.path() + QLatin1Char('/') + name + QLatin1Char('/');
        QDir().mkpath(path);
        return path;
    }

    void picture(const QString& folder, const QString& name, const QColor& colour = Qt::red, QSize size = {64, 48})
    {
        const QByteArray format = QFileInfo(name).suffix().toLower().toLatin1();
        const QImage image = filled(size.width(), size.height(), colour);
        QVERIFY(write(folder + name, format == "pcx"   ? pcx(image)
                                     : format == "tga" ? tga(image)
                                                       : encoded(image, format.constData())));
    }

    // Runs the import the way the scan commands do: all pictures of the folder, or those in daten.txt.
    void run(const QString& folder, int source = 0)
    {
        state.GallerySource = source;
        state.ChosenFolder = folder;
        state.PictureFolder = folder;
        ensureFolder(folder + state.ThumbnailFolderName);
        ImportRun::Hooks hooks;
        hooks.progress = [this](int percent) { progress.append(percent); };
        ImportRun run(bild(), state, values, 5, hooks);
        run.CreateHTML1(folder + QStringLiteral("image_1.htm"));
    }

    // The run's failure message; empty when it ended normally.
    QString failureOf(const QString& folder, int source = 0)
    {
        try {
            run(folder, source);
        } catch (const OrdnixError& error) {
            return error.message();
        }
        return {};
    }

    int row(const QString& folder, const QString& name) const
    {
        if (!bild()->locate(QStringLiteral("Dateipfad;Dateiname"), {folderToFileUrl(folder), name}))
            return -1;
        return bild()->recNo();
    }

    QVariant value(int row, const char* field) const
    {
        return bild()->valueAt(row, bild()->fieldIndex(QLatin1String(field)));
    }

    QByteArray page(int n = 1) const
    {
        QFile file(values.TempFolder + QStringLiteral("image_%1.htm").arg(n));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

QColor thumbnailColour(const QString& path)
{
    const QImage image(path);
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

bool near(const QColor& a, const QColor& b)
{
    return a.isValid() && std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 &&
           std::abs(a.blue() - b.blue()) < 24;
}

} // namespace

class TestImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void recordsHoldTheFileData()
    {
        Fixture f;
        const QString folder = f.folder(QStringLiteral("Feinbilddaten/Audi"));
        f.picture(folder, QStringLiteral("IMG_7.JPG"), Qt::red, {1600, 1200});
        f.picture(folder, QStringLiteral("scan.jpeg"), Qt::blue, {1200, 1600});
        f.picture(folder, QStringLiteral("nur lesen.png"), Qt::green);
        f.picture(folder, QStringLiteral("notiz.gif")); // not among the scanned extensions
        QVERIFY(QFile::setPermissions(folder + QStringLiteral("nur lesen.png"), QFile::ReadOwner | QFile::ReadUser));
        const QDateTime written = QFileInfo(folder + QStringLiteral("IMG_7.JPG")).lastModified();

        f.run(folder);

        QCOMPARE(f.bild()->recordCount(), 3);
        QCOMPARE(f.state.GalleryFileCount, 3);
        const struct
        {
            const char* file;
            const char* name;
            const char* type;
            const char* thumb;
            QSize thumbSize;
        } expected[] = {
            {"IMG_7.JPG", "IMG_7.jpg", "jpg", "TN_IMG_7.jpg", {160, 120}},
            {"nur lesen.png", "nur lesen.png", "png", "TN_nur lesen.jpg", {64, 48}},
            {"scan.jpeg", "scan.jpeg", "jpeg", "TN_scan.jpg", {90, 120}},
        };
        for (int i = 0; i < 3; ++i) {
            const auto& e = expected[i];
            const int row = f.row(folder, QLatin1String(e.name));
            QCOMPARE(row, i); // appended in the sorted order
            QCOMPARE(f.value(row, "Dateityp").toString(), QLatin1String(e.type));
            QCOMPARE(f.value(row, "Thumbname").toString(), QLatin1String(e.thumb));
            QCOMPARE(f.value(row, "Dateipfad").toString(), folderToFileUrl(folder));
            QCOMPARE(f.value(row, "FeinGrobDaten").toString(), QStringLiteral("Feindaten"));
            // The real size, also of the read-only picture.
            QCOMPARE(f.value(row, "Groesse").toLongLong(), QFileInfo(folder + QLatin1String(e.file)).size());
            QVERIFY(f.value(row, "Groesse").toLongLong() > 0);
            QCOMPARE(QImage(folder + QStringLiteral("thumbnail/") + QLatin1String(e.thumb)).size(), e.thumbSize);
            QVERIFY(f.value(row, "Beschreibung").isNull());
            QVERIFY(f.value(row, "Aufloesung").isNull());
        }
        QCOMPARE(f.value(0, "letzteAenderung").toDateTime(), written);
        QVERIFY(f.value(0, "letzterZugriff").toDateTime().isValid());
        // Afterwards the first record is current and the table is back in browse state.
        QCOMPARE(f.bild()->state(), TableObject::State::Browse);
    }

    void feinGrobFollowsTheFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("coarse wins") << QStringLiteral("Feinbilddaten/Grobbilddaten") << QStringLiteral("Grobdaten");
        QTest::newRow("fine") << QStringLiteral("Bilder/Feinbilddaten") << QStringLiteral("Feindaten");
        QTest::newRow("lower case sets nothing") << QStringLiteral("grobbilddaten") << QString();
        QTest::newRow("plain folder") << QStringLiteral("Bilder") << QString();
    }

    void feinGrobFollowsTheFolder()
    {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        Fixture f;
        const QString path = f.folder(folder);
        f.picture(path, QStringLiteral("Grobbilddaten.jpg")); // the file name does not count
        f.run(path);
        QCOMPARE(f.value(0, "FeinGrobDaten").toString(), expected);
    }

    void rescanLeavesCataloguedPictures()
    {
        Fixture f;
        const QString folder = f.folder(QStringLiteral("Bilder"));
        f.picture(folder, QStringLiteral("a.jpg"), Qt::red);
        f.picture(folder, QStringLiteral("b.jpg"), Qt::blue);
        f.run(folder);
        QCOMPARE(f.bild()->recordCount(), 2);

        // A changed thumbnail stays, a deleted one is not made again, a new picture is added.
        QVERIFY(write(folder + QStringLiteral("thumbnail/TN_a.jpg"), "mine"));
        QVERIFY(QFile::remove(folder + QStringLiteral("thumbnail/TN_b.jpg")));
        f.picture(folder, QStringLiteral("c.jpg"), Qt::green);
        f.bild()->moveTo(f.row(folder, QStringLiteral("a.jpg")));
        f.bild()->setValue(QStringLiteral("Beschreibung"), QStringLiteral("Felge vorn"));
        f.bild()->setValue(QStringLiteral("Aufloesung"), QStringLiteral(" 64 x 48"));
        f.bild()->post();

        f.run(folder);

        QCOMPARE(f.bild()->recordCount(), 3);
        QFile mine(folder + QStringLiteral("thumbnail/TN_a.jpg"));
        QVERIFY(mine.open(QIODevice::ReadOnly));
        QCOMPARE(mine.readAll(), QByteArray("mine"));
        QVERIFY(!QFile::exists(folder + QStringLiteral("thumbnail/TN_b.jpg")));
        QVERIFY(near(thumbnailColour(folder + QStringLiteral("thumbnail/TN_c.jpg")), Qt::green));
        // Every picture has its block, a catalogued one with its stored description and resolution.
        const QByteArray page = f.page();
        QCOMPARE(page.count("<div align=\"center\">"), 3);
        QVERIFY(page.contains("Beschreibung : Felge vorn</DIV>"));
        QVERIFY(page.contains("Aufl\xF6sung :  64 x 48\r\n"));
    }

    // Pictures that share a stem keep thumbnails of their own; names of another case that give
    // the same record are catalogued once.
    void sharedStemsGetTheirOwnThumbnails()
    {
        Fixture f;
        const QString folder = f.folder(QStringLiteral("Bilder"));
        f.picture(folder, QStringLiteral("bild.jpg"), Qt::red);
        f.picture(folder, QStringLiteral("bild.png"), Qt::blue);
        f.picture(folder, QStringLiteral("bild.JPG"), Qt::red);
        f.run(folder);
        f.picture(folder, QStringLiteral("bild.pcx"), Qt::green);
        f.run(folder);

        QCOMPARE(f.bild()->recordCount(), 3);
        const std::pair<const char*, QColor> expected[] = {
            {"bild.jpg", Qt::red}, {"bild.png", Qt::blue}, {"bild.pcx", Qt::green}};
        for (const auto& [name, colour] : expected) {
            const int row = f.row(folder, QLatin1String(name));
            QVERIFY2(row >= 0, name);
            const QString thumb = f.value(row, "Thumbname").toString();
            QCOMPARE(thumb, name == QByteArray("bild.jpg")
                                ? QStringLiteral("TN_bild.jpg")
                                : QStringLiteral("TN_bild_%1.jpg").arg(QFileInfo(QLatin1String(name)).suffix()));
            QVERIFY2(near(thumbnailColour(folder + QStringLiteral("thumbnail/") + thumb), colour), name);
        }
    }

    void unreadablePictureEndsTheRunWithoutARecord()
    {
        Fixture f;
        const QString folder = f.folder(QStringLiteral("Bilder"));
        f.picture(folder, QStringLiteral("a.jpg"));
        QVERIFY(write(folder + QStringLiteral("b.jpg"), encoded(filled(64, 48, Qt::red), "jpeg").left(300)));
        f.picture(folder, QStringLiteral("c.jpg"));

        const QString failure = f.failureOf(folder);

        QVERIFY2(failure.startsWith(QStringLiteral("Das Bild „%1b.jpg“ kann nicht gelesen werden").arg(folder)),
                 qPrintable(failure));
        QCOMPARE(f.bild()->recordCount(), 1);
        QCOMPARE(f.row(folder, QStringLiteral("b.jpg")), -1);
        QVERIFY(!QFile::exists(folder + QStringLiteral("thumbnail/TN_c.jpg")));
        QCOMPARE(f.bild()->state(), TableObject::State::Browse);
        QCOMPARE(f.bild()->recNo(), 0);
        QVERIFY(f.page().contains("alt=\"a.jpg\""));
        QVERIFY(!f.page().contains("alt=\"b.jpg\""));
    }

    void thumbnailThatCannotBeWrittenEndsTheRunWithoutARecord()
    {
        Fixture f;
        const QString folder = f.folder(QStringLiteral("Bilder"));
        f.picture(folder, QStringLiteral("a.jpg"));
        f.run(folder);
        // A file in the way of the thumbnail folder: catalogued pictures still pass, a new one cannot.
        QVERIFY(QDir(folder + QStringLiteral("thumbnail")).removeRecursively());
        QVERIFY(write(folder + QStringLiteral("thumbnail"), "kein Ordner"));
        QCOMPARE(f.failureOf(folder), QString());
        f.picture(folder, QStringLiteral("b.jpg"));

        const QString failure = f.failureOf(folder);

        QVERIFY2(
            failure.startsWith(
                QStringLiteral("Das Vorschaubild „%1thumbnail/TN_b.jpg“ kann nicht geschrieben werden").arg(folder)),
            qPrintable(failure));
        QCOMPARE(f.bild()->recordCount(), 1);
    }

    void foldersAndEmptyFoldersGiveNoRecords()
    {
        Fixture f;
        const QString folder = f.folder(QStringLiteral("leer"));
        QVERIFY(QDir(folder).mkdir(QStringLiteral("ordner.jpg")));
        f.run(folder);
        QCOMPARE(f.bild()->recordCount(), 0);
        QCOMPARE(f.state.GalleryFileCount, 0);
        QCOMPARE(f.page(), QByteArray("<HTML><HEAD><p align=\"center\"><FONT face=\"Arial\" size=\"4\">Bildergalerie"
                                      "</font><font size=\"4\"></font></HEAD></p>\r\n"));
    }

    // The picked names come from daten.txt; unusual names get a record, a thumbnail and a block.
    void pickedPicturesWithUnusualNames()
    {
        Fixture f;
        const QString folder = f.folder(QStringLiteral("Urlaub 2024 #1"));
        const QStringList names{QStringLiteral("Bär am See.jpg"), QStringLiteral("50% grau;§2.png"),
                                QStringLiteral("Ωmega?.jpg")};
        for (const QString& name : names)
            f.picture(folder, name);
        f.picture(folder, QStringLiteral("nicht gewählt.jpg"));
        QDir().mkpath(f.values.TempFolder);
        QVERIFY(write(f.values.TempFolder + QStringLiteral("daten.txt"), CodePage::encodeListFile(names)));

        f.run(folder, 1);

        QCOMPARE(f.bild()->recordCount(), 3);
        for (const QString& name : names) {
            const int row = f.row(folder, name);
            QVERIFY2(row >= 0, qPrintable(name));
            QVERIFY(QFile::exists(folder + QStringLiteral("thumbnail/") + f.value(row, "Thumbname").toString()));
        }
        const QByteArray page = f.page();
        QVERIFY(page.contains("/Urlaub 2024 %231/B\xE4r am See.jpg\"><IMG alt=\"B\xE4r am See.jpg\""));
        QVERIFY(page.contains("/Urlaub 2024 %231/50%25 grau;\xA7"
                              "2.png\"><IMG alt=\"50% grau;\xA7"
                              "2.png\""));
        QVERIFY(page.contains("/Urlaub 2024 %231/%CE%A9mega%3F.jpg\"><IMG alt=\"&#937;mega?.jpg\""));
        QVERIFY(page.contains("/thumbnail/TN_%CE%A9mega%3F.jpg\""));
    }

    void progressBeforeEachOf12Pictures()
    {
        Fixture f;
        const QString folder = f.folder(QStringLiteral("zwoelf"));
        for (int i = 1; i <= 12; ++i)
            f.picture(folder, QStringLiteral("p%1.png").arg(i, 2, 10, QLatin1Char('0')));
        f.run(folder);
        QCOMPARE(f.progress, (QList<int>{0, 8, 16, 25, 33, 41, 50, 58, 66, 75, 83, 91}));
        QCOMPARE(f.page(3).count("<div align=\"center\">"), 2);
    }

    void namesSortByCollationIgnoringCase()
    {
        QStringList names{QStringLiteral("b.jpg"), QStringLiteral("Z.jpg"), QStringLiteral("a.png"),
                          QStringLiteral("ä.jpg"), QStringLiteral("A.jpg")};
        ImportRun::sortNames(names);
        QCOMPARE(names, (QStringList{QStringLiteral("A.jpg"), QStringLiteral("ä.jpg"), QStringLiteral("a.png"),
                                     QStringLiteral("b.jpg"), QStringLiteral("Z.jpg")}));
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
