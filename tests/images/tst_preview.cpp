#include "PictureFixtures.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/NavigatorBar.h"
#include "images/ImagePage.h"
#include "images/Preview.h"
#include "images/SelectionGallery.h"
#include "platform/FileUrl.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace PictureFixtures;
using namespace Qt::StringLiterals;

namespace {

struct Picture
{
    const char* name;     // as catalogued
    const char* fileName; // on disk; nullptr: missing
    QColor colour;
    QSize size;
};

// Three pictures of different colour and size, each with its thumbnail; "c.jpg" is catalogued
// with another letter case than its file "c.JPG".
const Picture threePictures[] = {
    {"a.jpg", "a.jpg", Qt::red, {40, 30}},
    {"b.jpg", "b.jpg", Qt::green, {50, 20}},
    {"c.jpg", "c.JPG", Qt::blue, {60, 40}},
};

void addRecord(DataModule& d, const QString& folder, const QString& name, const QString& thumb,
               const QString& description = QStringLiteral("Front"))
{
    TableObject* t = d.MSBild;
    t->append();
    t->setValue(QStringLiteral("Dateipfad"), folderToFileUrl(folder));
    t->setValue(QStringLiteral("Dateiname"), name);
    t->setValue(QStringLiteral("Thumbname"), thumb);
    t->setValue(QStringLiteral("Automarke"), QStringLiteral("Audi"));
    t->setValue(QStringLiteral("Beschreibung"), description);
    t->post();
}

// Writes the pictures (and thumbnails) into dir/Bilder/ and catalogues them in this order.
std::function<void(DataModule&)> catalogue(const QString& dir, QList<Picture> pictures)
{
    return [dir, pictures](DataModule& d) {
        const QString folder = dir + QStringLiteral("/Bilder/");
        QDir().mkpath(folder + QStringLiteral("thumbnail"));
        for (const Picture& p : pictures) {
            const QString stem = QFileInfo(QLatin1String(p.name)).completeBaseName();
            const QString thumb = QStringLiteral("TN_") + stem + QStringLiteral(".jpg");
            if (p.fileName) {
                write(folder + QLatin1String(p.fileName),
                      encoded(filled(p.size.width(), p.size.height(), p.colour), "png"));
                write(folder + QStringLiteral("thumbnail/") + thumb, encoded(filled(16, 12, p.colour), "jpeg"));
            }
            addRecord(d, folder, QLatin1String(p.name), thumb);
        }
    };
}

// 'r', 'g' or 'b' for the colour a label shows, '-' for none.
char colourOf(const QLabel* label)
{
    const QImage image = label->pixmap().toImage();
    if (image.isNull())
        return '-';
    const QRgb p = image.pixel(image.width() / 2, image.height() / 2);
    if (qRed(p) > 200 && qGreen(p) < 100)
        return 'r';
    if (qGreen(p) > 200 && qRed(p) < 100)
        return 'g';
    if (qBlue(p) > 200)
        return 'b';
    return '?';
}

void showWindow(WindowFixture& f)
{
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QTest::qWait(20); // the first activation
    f.data->MSBild->first();
    f.window->FormActivate();
}

QModelIndex cell(ImagePage* page, int row, const QString& caption)
{
    QAbstractItemModel* model = page->cxGrid1->view()->model();
    for (int c = 0; c < model->columnCount(); ++c) {
        if (model->headerData(c, Qt::Horizontal).toString() == caption)
            return model->index(row, c);
    }
    return {};
}

QString aufloesung(WindowFixture& f, int row)
{
    TableObject* t = f.data->MSBild;
    return t->valueAt(row, t->fieldIndex(QStringLiteral("Aufloesung"))).toString();
}

QString errors(const WindowFixture& f)
{
    return f.dialogs.errors.join(QLatin1Char('\n'));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void previewPathsAndStatusLine_data()
    {
        QTest::addColumn<QString>("dateipfad");
        QTest::addColumn<QString>("thumbname");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("thumbnail");
        QTest::newRow("lokal") << u"file:///home/anna/Bilder/"_s << u"TN_a.jpg"_s << u"/home/anna/Bilder/a.jpg"_s
                               << u"/home/anna/Bilder//thumbnail/TN_a.jpg"_s;
        QTest::newRow("Netzwerk, eingehängt") << u"file:////server/share/Bilder/"_s << u"TN_a.jpg"_s
                                              << u"/mnt/nas/Bilder/a.jpg"_s << u"/mnt/nas/Bilder//thumbnail/TN_a.jpg"_s;
        QTest::newRow("Netzwerk, fremd") << u"file:////other/share/Bilder/"_s << u"TN_a.jpg"_s
                                         << u"//other/share/Bilder/a.jpg"_s
                                         << u"//other/share/Bilder//thumbnail/TN_a.jpg"_s;
        QTest::newRow("leerer Thumbname") << u"file:///home/anna/Bilder/"_s << u""_s << u"/home/anna/Bilder/a.jpg"_s
                                          << u"/home/anna/Bilder//thumbnail/"_s;
    }

    void previewPathsAndStatusLine()
    {
        QFETCH(QString, dateipfad);
        QFETCH(QString, thumbname);
        const MountTable mounts({{QStringLiteral("/mnt/nas"), QStringLiteral("//server/share")}});
        const Preview::Paths paths = Preview::BuildPreviewPaths(dateipfad, QStringLiteral("a.jpg"), thumbname, mounts);
        QTEST(paths.picture, "picture");
        QTEST(paths.thumbnail, "thumbnail");

        WindowFixture f([&](DataModule& d) {
            addRecord(d, QStringLiteral("C:/Bilder/"), QStringLiteral("x.jpg"), QString());
            d.MSBild->setValue(QStringLiteral("Dateipfad"), QStringLiteral("file://C:/Bilder/"));
            d.MSBild->setValue(QStringLiteral("Aufloesung"), Preview::resolutionText({800, 600}));
            d.MSBild->post();
        });
        QCOMPARE(Preview::statusLine(f.data->MSBild),
                 QStringLiteral("file://C:/Bilder/x.jpg** 800 x 600**Audi**Front"));
    }

    // Which steps a trigger runs: the status line and thumbnail always follow the record the
    // trigger made current; the large picture is read only while it is shown; Previous stores
    // the resolution of the record it moved to. Keyboard moves show nothing.
    void triggers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("zoomed");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("shownRow"); // whose status line and thumbnail
        QTest::addColumn<char>("large");
        QTest::addColumn<QString>("stored"); // Aufloesung of row 1 afterwards
        QTest::newRow("Zellklick, Details") << u"click"_s << false << 0 << 1 << '-' << u""_s;
        QTest::newRow("Zellklick, Zoom") << u"click"_s << true << 0 << 1 << 'g' << u""_s;
        QTest::newRow("Bearbeiten, Zoom") << u"edit"_s << true << 0 << 1 << 'r' << u""_s;
        QTest::newRow("Taste, Zoom") << u"key"_s << true << 0 << 0 << 'r' << u""_s;
        QTest::newRow("Next, Details") << u"next"_s << false << 0 << 1 << '-' << u""_s;
        QTest::newRow("Next, Zoom") << u"next"_s << true << 0 << 1 << 'g' << u""_s;
        QTest::newRow("Previous, Details") << u"prior"_s << false << 2 << 1 << '-' << u" 50 x 20"_s;
        QTest::newRow("Previous, Zoom") << u"prior"_s << true << 2 << 1 << 'g' << u" 50 x 20"_s;
        QTest::newRow("Last, Zoom, Endung anders geschrieben") << u"last"_s << true << 0 << 2 << 'b' << u""_s;
        QTest::newRow("Jump Back, Details") << u"jumpBack"_s << false << 2 << 0 << '-' << u""_s;
    }

    void triggers()
    {
        QFETCH(QString, action);
        QFETCH(bool, zoomed);
        QFETCH(int, start);
        QFETCH(int, shownRow);
        QFETCH(char, large);
        QFETCH(QString, stored);
        QTemporaryDir dir;
        WindowFixture f(catalogue(dir.path(), {std::begin(threePictures), std::end(threePictures)}));
        showWindow(f);
        ImagePage* page = f.window->imagePage;
        QTableView* view = page->cxGrid1->view();
        f.data->MSBild->moveTo(start);
        if (zoomed)
            f.action("dxBarLargeButton2")->trigger();
        QCOMPARE(f.context.values.ZoomActive, zoomed);

        const QModelIndex target = cell(page, 1, QStringLiteral("Beschreibung"));
        if (action == QLatin1String("click")) {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(target).center());
        } else if (action == QLatin1String("edit")) {
            view->setCurrentIndex(target);
            view->edit(target);
        } else if (action == QLatin1String("key")) {
            view->setFocus();
            QTest::keyClick(view, Qt::Key_Down);
            QCOMPARE(f.data->MSBild->recNo(), start + 1);
        } else {
            const NavButton button = action == QLatin1String("next")    ? NavButton::Next
                                     : action == QLatin1String("prior") ? NavButton::Prior
                                     : action == QLatin1String("last")  ? NavButton::Last
                                                                        : NavButton::JumpBack;
            page->abcNavPanel2->button(button)->click();
        }

        QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(errors(f)));
        const char colours[] = {'r', 'g', 'b'};
        const QString name = QLatin1String(threePictures[shownRow].name);
        QVERIFY2(page->statusSummary->text().contains(QStringLiteral("/Bilder/") + name + QStringLiteral("**")),
                 qPrintable(page->statusSummary->text()));
        QCOMPARE(colourOf(page->Image1), colours[shownRow]);
        QCOMPARE(colourOf(page->Image2), large);
        QCOMPARE(aufloesung(f, 1), stored);
        QCOMPARE(aufloesung(f, 0), QString());
        QCOMPARE(aufloesung(f, 2), QString());
    }

    void failingPictures()
    {
        QTemporaryDir dir;
        WindowFixture f(catalogue(dir.path(), {{"a.jpg", "a.jpg", Qt::red, {40, 30}},
                                               {"fehlt.jpg", nullptr, Qt::red, {1, 1}},
                                               {"c.jpg", "c.jpg", Qt::blue, {60, 40}}}));
        showWindow(f);
        ImagePage* page = f.window->imagePage;

        // Previous onto a record without picture: the status line shows it, nothing is stored.
        f.data->MSBild->moveTo(2);
        page->abcNavPanel2->button(NavButton::Prior)->click();
        QCOMPARE(f.dialogs.errors.size(), 1);
        QVERIFY2(f.dialogs.errors.first().contains(QStringLiteral("fehlt.jpg")), qPrintable(errors(f)));
        QVERIFY(page->statusSummary->text().contains(QStringLiteral("fehlt.jpg**")));
        QCOMPARE(aufloesung(f, 1), QString());

        // A zoom that fails has switched the views but leaves the flag off and the cursor back.
        f.dialogs.errors.clear();
        f.action("dxBarLargeButton2")->trigger();
        QCOMPARE(f.dialogs.errors.size(), 1);
        QCOMPARE(page->rightArea(), ImagePage::RightArea::Picture);
        QVERIFY(!f.context.values.ZoomActive);
        QVERIFY(!QApplication::overrideCursor());

        // An empty Thumbname names the thumbnail folder itself, which is no picture.
        f.dialogs.errors.clear();
        f.data->MSBild->moveTo(0);
        f.data->MSBild->setValue(QStringLiteral("Thumbname"), QString());
        f.data->MSBild->post();
        f.data->MSBild->moveTo(2);
        page->abcNavPanel2->button(NavButton::First)->click();
        QCOMPARE(f.dialogs.errors.size(), 1);
        QVERIFY2(f.dialogs.errors.first().contains(QStringLiteral("/thumbnail/“")), qPrintable(errors(f)));
    }

    // Commands in order: zoom (toolbar), thumb (click on Image1), large (click on Image2),
    // info (toolbar), activate (the main window's activation).
    void viewStates_data()
    {
        QTest::addColumn<QString>("commands");
        QTest::addColumn<QString>("area");
        QTest::addColumn<bool>("zoomActive");
        QTest::newRow("Zoom") << u"zoom"_s << u"Picture"_s << true;
        QTest::newRow("Zoom, Zoom") << u"zoom thumb"_s << u"Details"_s << false;
        QTest::newRow("Zoom, Klick, Zoom") << u"thumb large zoom"_s << u"Picture"_s << true;
        QTest::newRow("Klick ohne Zoom") << u"large"_s << u"Details"_s << false;
        QTest::newRow("Zoom, Info") << u"zoom info"_s << u"Languages"_s << false;
        QTest::newRow("Zoom, Info, Info") << u"zoom info info"_s << u"Details"_s << false;
        QTest::newRow("Info, Zoom, Zoom") << u"info zoom zoom"_s << u"Details"_s << false;
        QTest::newRow("Zoom, Aktivierung") << u"zoom activate"_s << u"Picture"_s << false;
        QTest::newRow("Zoom, Aktivierung, Zoom") << u"zoom activate zoom"_s << u"Picture"_s << true;
        QTest::newRow("Zoom, Aktivierung, Zoom, Zoom") << u"zoom activate zoom zoom"_s << u"Details"_s << false;
    }

    void viewStates()
    {
        QFETCH(QString, commands);
        QFETCH(QString, area);
        QFETCH(bool, zoomActive);
        QTemporaryDir dir;
        WindowFixture f(catalogue(dir.path(), {std::begin(threePictures), std::end(threePictures)}));
        showWindow(f);
        ImagePage* page = f.window->imagePage;
        for (const QString& command : commands.split(QLatin1Char(' '))) {
            if (command == QLatin1String("zoom"))
                f.action("dxBarLargeButton2")->trigger();
            else if (command == QLatin1String("thumb"))
                QTest::mouseClick(page->Image1, Qt::LeftButton);
            else if (command == QLatin1String("large"))
                QTest::mouseClick(page->Image2, Qt::LeftButton);
            else if (command == QLatin1String("info"))
                f.action("dxBarLargeButton3")->trigger();
            else
                f.window->FormActivate();
        }
        QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(errors(f)));
        const ImagePage::RightArea expected = area == QLatin1String("Picture")     ? ImagePage::RightArea::Picture
                                              : area == QLatin1String("Languages") ? ImagePage::RightArea::Languages
                                                                                   : ImagePage::RightArea::Details;
        QCOMPARE(page->rightArea(), expected);
        QCOMPARE(f.context.values.ZoomActive, zoomActive);
        // Whenever the zoom has just opened, the large picture is the current record's.
        if (zoomActive)
            QCOMPARE(colourOf(page->Image2), 'r');
    }

    void largePictureFollowsThePanel()
    {
        QTemporaryDir dir;
        const Picture big[] = {{"gross.jpg", "gross.jpg", Qt::red, {2400, 1600}}};
        WindowFixture f(catalogue(dir.path(), {std::begin(big), std::end(big)}));
        f.window->resize(1400, 1000);
        showWindow(f);
        ImagePage* page = f.window->imagePage;
        f.action("dxBarLargeButton2")->trigger();
        QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(errors(f)));
        auto fits = [page] {
            const QSize shown = page->Image2->pixmap().size();
            const QSize box = page->Panel1->contentsRect().size();
            return !shown.isEmpty() && shown.width() <= box.width() && shown.height() <= box.height() &&
                   (shown.width() == box.width() || shown.height() == box.height());
        };
        QVERIFY(fits());
        const QSize before = page->Image2->pixmap().size();

        f.window->resize(1000, 700);
        QTRY_VERIFY(page->Image2->pixmap().size() != before);
        QVERIFY(fits());
        QCOMPARE(colourOf(page->Image2), 'r');
        f.window->resize(1400, 1000);
        QTRY_COMPARE(page->Image2->pixmap().size(), before);
    }

    void resolutionRun_data()
    {
        QTest::addColumn<QList<bool>>("present");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("errorCount");
        QTest::addColumn<int>("currentAfter");
        QTest::newRow("alle lesbar") << QList<bool>{true, true, true}
                                     << QStringList{u" 40 x 30"_s, u" 50 x 20"_s, u" 60 x 40"_s} << 0 << 0;
        QTest::newRow("zweites fehlt") << QList<bool>{true, false, true} << QStringList{u" 40 x 30"_s, u""_s, u""_s}
                                       << 1 << 1;
        QTest::newRow("leer") << QList<bool>{} << QStringList{} << 0 << -1;
    }

    void resolutionRun()
    {
        QFETCH(QList<bool>, present);
        QFETCH(QStringList, expected);
        QFETCH(int, errorCount);
        QFETCH(int, currentAfter);
        QTemporaryDir dir;
        QList<Picture> pictures;
        for (qsizetype i = 0; i < present.size(); ++i) {
            Picture p = threePictures[i];
            if (!present[i])
                p.fileName = nullptr;
            pictures.append(p);
        }
        WindowFixture f(catalogue(dir.path(), pictures));
        ImagePage* page = f.window->imagePage;
        const QString statusBefore = page->statusSummary->text();
        f.data->MSBild->last();

        f.action("Bildauflsungberechnen1")->trigger();

        QCOMPARE(f.dialogs.errors.size(), errorCount);
        for (qsizetype i = 0; i < expected.size(); ++i)
            QCOMPARE(aufloesung(f, int(i)), expected[i]);
        QCOMPARE(f.data->MSBild->recNo(), currentAfter);
        QCOMPARE(page->statusSummary->text(), statusBefore);
        // The window is usable again, also after a failure.
        QVERIFY(page->LMDProgress1->isHidden());
        QCOMPARE(page->LMDProgress1->value(), 0);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.data->MSBild->controlsDisabled());
        QVERIFY(page->cxGrid1->view()->updatesEnabled());
    }

    void listLines_data()
    {
        QTest::addColumn<QVariantList>("fields"); // Dateipfad, Dateiname, Beschreibung, Groesse, Aufloesung, Thumbname
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("blockValues"); // LinkFolder, FileName, Description, Size, Resolution, ThumbName
        const QVariant null;
        QTest::newRow("lokal")
            << QVariantList{u"file:///home/anna/Bilder/"_s,
                            u"a.jpg"_s,
                            u"Front"_s,
                            512.0,
                            u" 800 x 600"_s,
                            u"TN_a.jpg"_s}
            << u"/home/anna/Bilder/a.jpg;Front#512\u00A7 800 x 600%TN_a.jpg"_s
            << QStringList{
                   u"file:///home/anna/Bilder/"_s, u"a.jpg"_s, u"Front"_s, u"512"_s, u" 800 x 600"_s, u"TN_a.jpg"_s};
        QTest::newRow("Netzwerk")
            << QVariantList{u"file:////server/share/Bilder/"_s, u"a.jpg"_s, u"Front"_s, 7.0, u" 1 x 1"_s, u"TN_a.jpg"_s}
            << u"file:////server/share/Bilder/a.jpg;Front#7\u00A7 1 x 1%TN_a.jpg"_s
            << QStringList{
                   u"file:////server/share/Bilder/"_s, u"a.jpg"_s, u"Front"_s, u"7"_s, u" 1 x 1"_s, u"TN_a.jpg"_s};
        QTest::newRow("leere Felder") << QVariantList{u"file:///B/"_s, u"a.JPG"_s, null, null, null, u"TN_a.jpg"_s}
                                      << u"/B/a.JPG;leer#0\u00A70%TN_a.jpg"_s
                                      << QStringList{u"file:///B/"_s, u"a.JPG"_s, u"leer"_s,
                                                     u"0"_s,          u"0"_s,     u"TN_a.jpg"_s};
        QTest::newRow("Trennzeichen im Text")
            << QVariantList{u"file:///B/50% Rabatt/"_s,
                            u"a;1.jpg"_s,
                            u"50% grau #2 \u00A73 / x"_s,
                            10.0,
                            u"1%"_s,
                            u"TN_%.jpg"_s}
            << u"/B/50%25 Rabatt/a%3B1.jpg;50%25 grau %232 %A73 / x#10\u00A71%25%TN_%25.jpg"_s
            << QStringList{u"file:///B/50% Rabatt/"_s,
                           u"a;1.jpg"_s,
                           u"50% grau #2 \u00A73 / x"_s,
                           u"10"_s,
                           u"1%"_s,
                           u"TN_%.jpg"_s};
        QTest::newRow("Vorschaubild beginnt mit Hexziffern")
            << QVariantList{u"file:///B/"_s, u"a.jpg"_s, u"x"_s, 1.0, u"2"_s, u"A7.jpg"_s}
            << u"/B/a.jpg;x#1\u00A72%%417.jpg"_s
            << QStringList{u"file:///B/"_s, u"a.jpg"_s, u"x"_s, u"1"_s, u"2"_s, u"A7.jpg"_s};
        QTest::newRow("Pfad und Namen leer") << QVariantList{null, null, u"x"_s, 1.0, u"2"_s, null} << u";x#1\u00A72%"_s
                                             << QStringList{u"file://"_s, u""_s, u"x"_s, u"1"_s, u"2"_s, u""_s};
        QTest::newRow("ohne file://") << QVariantList{u"/home/anna/"_s, u"a.jpg"_s, u"x"_s, 1.0, u"2"_s, u"t.jpg"_s}
                                      << u"nna/a.jpg;x#1\u00A72%t.jpg"_s
                                      << QStringList{u"file://nna/"_s, u"a.jpg"_s, u"x"_s, u"1"_s, u"2"_s, u"t.jpg"_s};
    }

    void listLines()
    {
        QFETCH(QVariantList, fields);
        QFETCH(QStringList, blockValues);
        const QString line =
            SelectionGallery::listLine({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
        QTEST(line, "line");
        const GallerySlots parsed = SelectionGallery::ParseListLine(line);
        QCOMPARE((QStringList{parsed.LinkFolder, parsed.FileName, parsed.Description, parsed.SizeText,
                              parsed.ResolutionText, parsed.ThumbName}),
                 blockValues);
        QCOMPARE(parsed.ThumbFolder, parsed.LinkFolder);
        QCOMPARE(parsed.TypeText, parsed.Ext);
    }

    // 12 selected records from two folders, 5 to a page: three pages in the order of their lines,
    // each block linked to its own folder, and page 1 opened.
    void selectedRecordsInTheBrowser()
    {
        QTemporaryDir dir;
        const QString first = dir.path() + QStringLiteral("/Bilder/Audi/");
        const QString second = dir.path() + QStringLiteral("/Bilder/BMW/");
        WindowFixture f([&](DataModule& d) {
            for (int i = 11; i >= 0; --i)
                addRecord(d, i % 2 ? second : first, QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0')),
                          QStringLiteral("TN_p%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
            addRecord(d, first, QStringLiteral("nicht_selektiert.jpg"), QString());
        });
        ImagePage* page = f.window->imagePage;
        page->cxGrid1->setMultiSelect(true);
        QTableView* view = page->cxGrid1->view();
        f.data->MSBild->last();
        view->clearSelection();
        for (int row = 0; row < 12; ++row)
            view->selectionModel()->select(view->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);

        f.action("SelektierteDatenstzeimIEanzeigen2")->trigger();

        QVERIFY2(f.dialogs.errors.isEmpty(), qPrintable(errors(f)));
        const QString temp = f.context.values.TempFolder;
        QCOMPARE(f.shell.opened, QStringList{temp + QStringLiteral("image_1.htm")});
        const QList<QByteArray> list = readAll(temp + QStringLiteral("daten.txt")).split('\n');
        QCOMPARE(list.size(), 13);
        QCOMPARE(list.first(), (first + u"p00.jpg;Front#0\u00A70%TN_p00.jpg\r"_s).toLatin1());
        QCOMPARE(page->ListBox1->count(), 12);
        QCOMPARE(page->scan.GallerySource, 2);

        const QList<int> blocks{5, 5, 2};
        int entry = 0;
        for (int p = 1; p <= 3; ++p) {
            const QByteArray html = readAll(temp + QStringLiteral("image_%1.htm").arg(p));
            QCOMPARE(int(html.count("<div align=\"center\">")), blocks[p - 1]);
            for (int k = 0; k < blocks[p - 1]; ++k, ++entry) {
                // Sorted by their lines: the six of the first folder, then the six of the second.
                const QString folder = entry < 6 ? first : second;
                const int number = entry < 6 ? 2 * entry : 2 * (entry - 6) + 1;
                const QByteArray link =
                    (u"<a href=\"file://"_s + folder + QStringLiteral("p%1.jpg\"").arg(number, 2, 10, QLatin1Char('0')))
                        .toUtf8();
                QVERIFY2(html.contains(link), link.constData());
            }
            QCOMPARE(html.startsWith("<HTML><HEAD>"), p == 1);
        }
        QVERIFY(!QFile::exists(temp + QStringLiteral("image_4.htm")));
        QVERIFY(readAll(temp + QStringLiteral("image_3.htm")).contains("<A HREF=\"image_2.htm\"><FONT"));
        QCOMPARE(f.data->MSBild->recNo(), 0);
        QVERIFY(page->LMDProgress1->isHidden());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.data->MSBild->controlsDisabled());
    }

    void browserWithoutSelectionOrAfterFailure()
    {
        QTemporaryDir dir;
        WindowFixture f([&](DataModule& d) {
            for (int i = 0; i < 7; ++i)
                addRecord(d, dir.path() + QStringLiteral("/B/"), QStringLiteral("p%1.jpg").arg(i), QStringLiteral("t"));
        });
        ImagePage* page = f.window->imagePage;
        page->cxGrid1->view()->clearSelection();
        f.action("SelektierteDatenstzeimIEanzeigen2")->trigger();
        const QString temp = f.context.values.TempFolder;
        QCOMPARE(readAll(temp + QStringLiteral("daten.txt")), QByteArray());
        QVERIFY(readAll(temp + QStringLiteral("image_1.htm")).startsWith("<HTML><HEAD>"));
        QCOMPARE(readAll(temp + QStringLiteral("image_1.htm")).count('\n'), 1);
        QCOMPARE(f.shell.opened.size(), 1);

        // Page 2 cannot be made: the error is shown, page 1 is opened all the same.
        QDir().mkpath(temp + QStringLiteral("image_2.htm"));
        page->cxGrid1->setMultiSelect(true);
        page->cxGrid1->view()->selectAll();
        f.action("SelektierteDatenstzeimIEanzeigen2")->trigger();
        QCOMPARE(f.dialogs.errors.size(), 1);
        QVERIFY2(f.dialogs.errors.first().contains(QStringLiteral("image_2.htm")), qPrintable(errors(f)));
        QCOMPARE(f.shell.opened.size(), 2);
        QCOMPARE(int(readAll(temp + QStringLiteral("image_1.htm")).count("<div align=\"center\">")), 5);
        QVERIFY(page->LMDProgress1->isHidden());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.data->MSBild->controlsDisabled());
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
