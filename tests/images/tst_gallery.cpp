#include "images/GalleryWriter.h"
#include "platform/OrdnixError.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <map>

namespace {

const GallerySettings settings{QStringLiteral("Bildergalerie"), QStringLiteral("65"), QStringLiteral("Arial")};

// Expected text as written: windows-1252 (all golden texts here are Latin-1) with CR LF.
QByteArray golden(const char* utf8)
{
    QByteArray text = QString::fromUtf8(utf8).toLatin1();
    text.replace("\n", "\r\n");
    return text;
}

GallerySlots picture(const QString& name)
{
    GallerySlots s;
    s.LinkFolder = QStringLiteral("file:///home/anna/Bilder/");
    s.FileName = name;
    s.ThumbFolder = QStringLiteral("file:///home/anna/Bilder/");
    s.ThumbName = QStringLiteral("TN_") + name.section(QLatin1Char('.'), 0, -2) + QStringLiteral(".jpg");
    s.NameStem = name.section(QLatin1Char('.'), 0, -2);
    s.Ext = name.section(QLatin1Char('.'), -1);
    s.Description = QStringLiteral("Felge");
    s.SizeText = QStringLiteral("512");
    s.TypeText = s.Ext;
    s.ResolutionText = QStringLiteral(" 640 x 480");
    return s;
}

QByteArray block(GalleryVariant variant, const GallerySlots& values, const GallerySettings& with = settings)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    GalleryWriter(&buffer, with).WriteGalleryRow(variant, values);
    return bytes;
}

// Runs the page series into memory: one text per page.
std::map<int, QByteArray> pagesOf(int entries, int perPage, const QString& prefix = QStringLiteral("e"))
{
    std::map<int, QByteArray> pages;
    GalleryPages run(QString(), settings, perPage, [&pages](int page) {
        auto buffer = std::make_unique<QBuffer>(&pages[page]);
        buffer->open(QIODevice::WriteOnly);
        return buffer;
    });
    run.setEntryCount(entries);
    for (int i = 1; i <= entries; ++i)
        run.addEntry(GalleryVariant::Scan, picture(prefix + QStringLiteral("%1.jpg").arg(i)));
    run.close();
    return pages;
}

const char* headLine = "<HTML><HEAD><p align=\"center\"><FONT face=\"Arial\" size=\"4\">Bildergalerie</font><font "
                       "size=\"4\"></font></HEAD></p>\n";
const char* pageBar = "&nbsp;<P align=\"center\"><FONT face=\"Arial\"> <B> <font size=\"2\">Page:</font></B><font "
                      "size=\"2\">&nbsp;&nbsp;</font></FONT><font size=\"2\">";

QByteArray link(int n)
{
    return golden(qPrintable(
        QStringLiteral("<A HREF=\"image_%1.htm\"><FONT face=\"Arial\" size=\"2\">%1</FONT></A>&nbsp;\n").arg(n)));
}

// Page bar (with what a first page adds to it), page numbers, navigation line, closing line.
QByteArray footer(const QByteArray& barEnd, const QByteArray& numbers, const char* navigation)
{
    return golden(pageBar) + golden(barEnd) + golden("\n") + numbers + golden(navigation) +
           golden("</DIV></BODY></HTML>\n");
}

const char* gap = " ]&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;[ ";

QByteArray onlyFooter()
{
    return footer(
        {}, golden("<face=\"Arial\" size=\"2\"><B>1</B></FONT>&nbsp</font><P align=\"center\">\n"),
        qPrintable(QStringLiteral("</TD></TR><P align=\"center\">[ <FONT face=\"Arial\" size=\"2\">Prev</FONT>") +
                   QLatin1String(gap) + QStringLiteral("<FONT face=\"Arial\" size=\"2\">Next</FONT></A> ]\n")));
}

QByteArray firstFooter(int pageCount)
{
    QByteArray links;
    for (int n = 2; n <= pageCount; ++n)
        links += link(n);
    return footer(
        "<FONT face=\"Arial\" size=\"2\"><B>1</B></FONT>&nbsp;", links,
        qPrintable(QStringLiteral("</TD></TR><P align=\"center\">[ <FONT face=\"Arial\" size=\"2\">Prev</FONT>") +
                   QLatin1String(gap) +
                   QStringLiteral("<A HREF=\"image_2.htm\"><FONT face=\"Arial\" size=\"2\">Next</FONT></A> ]\n")));
}

QByteArray middleFooterOf3()
{
    return footer({}, link(1) + golden("<FONT face=\"Arial\" size=\"2\"><B>2</B></FONT>&nbsp\n") + link(3),
                  qPrintable(QStringLiteral("</TD></TR></TD></TR><P align=\"center\">[ <A HREF=\"image_1.htm\"><FONT "
                                            "face=\"Verdana, Arial, Helvetica, Sans-Serif\">Prev</FONT></A>") +
                             QLatin1String(gap) +
                             QStringLiteral("<A HREF=\"image_3.htm\"><FONT face=\"Verdana, Arial, Helvetica, "
                                            "Sans-Serif\">Next</FONT></A> ]</font>\n")));
}

QByteArray lastFooter(int pageCount)
{
    QByteArray numbers;
    for (int n = 1; n < pageCount; ++n)
        numbers += link(n);
    numbers += golden(
        qPrintable(QStringLiteral("<face=\"Arial\" size=\"2\"><B>%1</B></FONT>&nbsp</font><P align=\"center\">\n")
                       .arg(pageCount)));
    return footer({}, numbers,
                  qPrintable(QStringLiteral("</TD></TR></TD></TR><P align=\"center\">[ <A HREF=\"image_%1.htm\"><FONT "
                                            "face=\"Arial\" size=\"2\">Prev</FONT></A>")
                                 .arg(pageCount - 1) +
                             QLatin1String(gap) + QStringLiteral("<FONT face=\"Arial\" size=\"2\">Next</FONT> ]\n")));
}

} // namespace

class TestGallery : public QObject
{
    Q_OBJECT

private slots:
    void blockIsTheTemplate_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QByteArray>("line11");
        QTest::newRow("scan")
            << int(GalleryVariant::Scan)
            << golden("&nbsp <FONT face=\"Arial\" size=\"2\">Name&nbsp; : a.jpg<BR>&nbsp; Beschreibung : "
                      "Felge</DIV><DIV align=left>&nbsp; Größe : 512 Byte</DIV><DIV align=left>&nbsp; "
                      "Dateityp : jpg</DIV><DIV align=left>&nbsp; Auflösung :  640 x 480\n");
        QTest::newRow("selection")
            << int(GalleryVariant::Selection)
            << golden("&nbsp <FONT face=\"Arial\" size=\"2\">Name&nbsp; : a.jpg<BR>&nbsp; Beschreibung : Felge<DIV "
                      "align=left>&nbsp; Größe : 512 Byte</DIV><DIV align=left>&nbsp; Dateityp : jpg</DIV><DIV "
                      "align=left>&nbsp; Auflösung :  640 x 480</DIV>\n");
    }

    void blockIsTheTemplate()
    {
        QFETCH(int, variant);
        QFETCH(QByteArray, line11);
        const QByteArray expected =
            golden("<div align=\"center\">\n<center>\n<table border=\"1\" cellpadding=\"0\" cellspacing=\"0\" "
                   "style=\"border-collapse: collapse\" bordercolor=\"#111111\" width=\"65%\" id=\"AutoNumber1\">\n"
                   "<tr>\n<td align=\"center\" colspan=\"1\" width=\"179\">\n<p align=\"center\">\n"
                   "<a href=\"file:///home/anna/Bilder/a.jpg\"><IMG alt=\"a.jpg\" "
                   "src=\"file:///home/anna/Bilder/thumbnail/TN_a.jpg\" WITH=\"160\" HEIGHT=\"120\" border=\"0\" "
                   "align=\"left\" xthumbnail-orig-image=\"a.jpg\" >\n</a>\n</td>\n<td with=\"85%\">\n") +
            line11 + golden("<p>&nbsp;\n<BR><BR><BR>\n</td>\n</tr>\n</table>\n</center>\n</div>\n");
        QCOMPARE(block(GalleryVariant(variant), picture(QStringLiteral("a.jpg"))), expected);
    }

    // Values are escaped for HTML; links percent-encode what would cut a URL; nothing is lost.
    void valuesAreEscaped_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("markup in the name")
            << "FileName" << QStringLiteral("a<b>&\"c\".jpg")
            << QByteArray("<a href=\"file:///home/anna/Bilder/a&lt;b&gt;&amp;&quot;c&quot;.jpg\"><IMG "
                          "alt=\"a&lt;b&gt;&amp;&quot;c&quot;.jpg\"");
        QTest::newRow("url cutters in the name")
            << "FileName" << QStringLiteral("Urlaub #1 100%?.jpg")
            << QByteArray("<a href=\"file:///home/anna/Bilder/Urlaub %231 100%25%3F.jpg\"><IMG alt=\"Urlaub #1 "
                          "100%?.jpg\"");
        QTest::newRow("umlaut, paragraph and semicolon stay windows-1252")
            << "FileName" << QStringLiteral("Bär §3;x.jpg")
            << QByteArray("<a href=\"file:///home/anna/Bilder/B\xE4r \xA7"
                          "3;x.jpg\"><IMG alt=\"B\xE4r \xA7"
                          "3;x.jpg\"");
        QTest::newRow("outside windows-1252 in the name")
            << "FileName" << QStringLiteral("Ωmega.jpg")
            << QByteArray("<a href=\"file:///home/anna/Bilder/%CE%A9mega.jpg\"><IMG alt=\"&#937;mega.jpg\"");
        QTest::newRow("emoji in the folder") << "ThumbFolder" << QStringLiteral("file:///home/anna/\U0001F697/")
                                             << QByteArray("src=\"file:///home/anna/%F0%9F%9A%97/thumbnail/TN_a.jpg\"");
        QTest::newRow("markup in the description")
            << "Description" << QStringLiteral("<b>Felge</b> & Reifen")
            << QByteArray("Beschreibung : &lt;b&gt;Felge&lt;/b&gt; &amp; Reifen</DIV>");
        QTest::newRow("resolution") << "ResolutionText" << QStringLiteral("<640>")
                                    << QByteArray("Auflösung : &lt;640&gt;").replace("ö", "\xF6");
        QTest::newRow("heading and font")
            << "settings" << QStringLiteral("Audi & \"VW\" ✓")
            << QByteArray("<FONT face=\"Audi &amp; &quot;VW&quot; &#10003;\" size=\"4\">Audi &amp; &quot;VW&quot; "
                          "&#10003;</font>");
    }

    void valuesAreEscaped()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QByteArray, expected);
        GallerySlots values = picture(QStringLiteral("a.jpg"));
        GallerySettings with = settings;
        if (field == QLatin1String("FileName"))
            values.FileName = value;
        else if (field == QLatin1String("ThumbFolder"))
            values.ThumbFolder = value;
        else if (field == QLatin1String("Description"))
            values.Description = value;
        else if (field == QLatin1String("ResolutionText"))
            values.ResolutionText = value;
        else
            with = GallerySettings{value, QStringLiteral("65"), value};
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        GalleryWriter writer(&buffer, with);
        writer.writeHeadLine();
        writer.WriteGalleryRow(GalleryVariant::Scan, values);
        QVERIFY2(bytes.contains(expected), bytes.constData());
    }

    void pagesFollowTheLayout_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<QList<int>>("blocks");
        QTest::addColumn<QList<QByteArray>>("footers");
        QTest::newRow("12 by 5: the worked layout")
            << 12 << 5 << QList<int>{5, 5, 2} << QList<QByteArray>{firstFooter(3), middleFooterOf3(), lastFooter(3)};
        QTest::newRow("5 by 5: only page") << 5 << 5 << QList<int>{5} << QList<QByteArray>{onlyFooter()};
        QTest::newRow("3 by 5") << 3 << 5 << QList<int>{3} << QList<QByteArray>{onlyFooter()};
        QTest::newRow("6 by 5") << 6 << 5 << QList<int>{5, 1} << QList<QByteArray>{firstFooter(2), lastFooter(2)};
        QTest::newRow("3 by 1") << 3 << 1 << QList<int>{1, 1, 1}
                                << QList<QByteArray>{firstFooter(3), middleFooterOf3(), lastFooter(3)};
        QTest::newRow("none: head line only") << 0 << 5 << QList<int>{0} << QList<QByteArray>{QByteArray()};
    }

    void pagesFollowTheLayout()
    {
        QFETCH(int, entries);
        QFETCH(int, perPage);
        QFETCH(QList<int>, blocks);
        QFETCH(QList<QByteArray>, footers);
        const std::map<int, QByteArray> pages = pagesOf(entries, perPage);
        QCOMPARE(int(pages.size()), int(blocks.size()));
        int entry = 0;
        for (int page = 1; page <= int(blocks.size()); ++page) {
            QByteArray expected = page == 1 ? golden(headLine) : QByteArray();
            for (int i = 0; i < blocks[page - 1]; ++i)
                expected += block(GalleryVariant::Scan, picture(QStringLiteral("e%1.jpg").arg(++entry)));
            expected += footers[page - 1];
            QCOMPARE(pages.at(page), expected);
        }
    }

    void settingsShapeEveryPage()
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        GalleryWriter writer(&buffer, {QString(), QStringLiteral("80"), QStringLiteral("Verdana")});
        writer.writeHeadLine();
        writer.WriteGalleryRow(GalleryVariant::Scan, picture(QStringLiteral("a.jpg")));
        writer.WriteGalleryRow(GalleryVariant::Selection, picture(QStringLiteral("b.jpg")));
        QVERIFY(bytes.startsWith("<HTML><HEAD><p align=\"center\"><FONT face=\"Verdana\" size=\"4\"></font>"));
        QCOMPARE(bytes.count("bordercolor=\"#111111\" width=\"80%\" id=\"AutoNumber1\">\r\n"), 2);
    }

    // Each run writes its pages over those of the run before, longer or shorter; a shorter run
    // leaves the pages it does not reach, and links only to its own.
    void runsWriteOverEarlierPages()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        const auto pageText = [&](int page) {
            QFile file(GalleryPages::pageFile(folder, page));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QByteArray fourth;
        for (const auto& [entries, prefix] : {std::pair{4, "lang"}, std::pair{2, "kurz"}, std::pair{3, "x"}}) {
            GalleryPages pages(folder, settings, 1);
            pages.setEntryCount(entries);
            for (int i = 1; i <= entries; ++i)
                pages.addEntry(GalleryVariant::Scan, picture(QLatin1String(prefix) + QStringLiteral("%1.jpg").arg(i)));
            pages.close();
            for (const auto& [page, text] : pagesOf(entries, 1, QLatin1String(prefix)))
                QCOMPARE(pageText(page), text);
            if (entries == 4)
                fourth = pageText(4);
        }
        QCOMPARE(pageText(4), fourth);
        QVERIFY(!pageText(1).contains("image_4.htm"));
    }

    void pageThatCannotBeMadeNamesTheFile()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        QVERIFY(QDir(folder).mkdir(QStringLiteral("image_2.htm")));
        GalleryPages pages(folder, settings, 1);
        pages.setEntryCount(2);
        try {
            pages.addEntry(GalleryVariant::Scan, picture(QStringLiteral("a.jpg")));
            QFAIL("page 2 was made");
        } catch (const OrdnixError& error) {
            QVERIFY2(error.message().contains(folder + QStringLiteral("image_2.htm")), qPrintable(error.message()));
        }
        QFile first(GalleryPages::pageFile(folder, 1));
        QVERIFY(first.open(QIODevice::ReadOnly));
        QVERIFY(first.readAll().endsWith("</DIV></BODY></HTML>\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestGallery)
#include "tst_gallery.moc"
