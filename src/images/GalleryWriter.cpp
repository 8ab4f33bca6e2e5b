#include "images/GalleryWriter.h"

#include "platform/CodePage.h"
#include "platform/OrdnixError.h"

#include <QFile>

#include <QIODevice>
#include <cstring>

namespace {

// Bytes of a template text, which is Latin-1 throughout.
QByteArray t(const char16_t* text)
{
    return QString::fromUtf16(text).toLatin1();
}

bool needsEscape(char16_t u, bool inLink)
{
    return u >= 0x80 || u == '&' || u == '<' || u == '>' || u == '"' || (inLink && (u == '%' || u == '#' || u == '?'));
}

void appendHex(QByteArray& out, uchar byte)
{
    static const char digits[] = "0123456789ABCDEF";
    out.append('%').append(digits[byte >> 4]).append(digits[byte & 0xF]);
}

QByteArray escaped(const QString& text, bool inLink)
{
    bool plain = true;
    for (const QChar c : text) {
        if (needsEscape(c.unicode(), inLink)) {
            plain = false;
            break;
        }
    }
    if (plain)
        return text.toLatin1();
    QByteArray out;
    out.reserve(text.size() + 16);
    for (const char32_t c : text.toUcs4()) {
        switch (c) {
        case '&':
            out.append("&amp;");
            continue;
        case '<':
            out.append("&lt;");
            continue;
        case '>':
            out.append("&gt;");
            continue;
        case '"':
            out.append("&quot;");
            continue;
        default:
            break;
        }
        if (c < 0x80) {
            if (inLink && (c == '%' || c == '#' || c == '?'))
                appendHex(out, uchar(c));
            else
                out.append(char(c));
            continue;
        }
        const QString ch = QString::fromUcs4(&c, 1);
        if (CodePage::fitsWindows1252(ch)) {
            out.append(CodePage::toWindows1252(ch));
        } else if (inLink) {
            for (const char byte : ch.toUtf8())
                appendHex(out, uchar(byte));
        } else {
            out.append("&#").append(QByteArray::number(uint(c))).append(';');
        }
    }
    return out;
}

QString deviceName(QIODevice* device)
{
    if (auto* file = qobject_cast<QFile*>(device))
        return file->fileName();
    return device->objectName();
}

const QByteArray crlf("\r\n");

} // namespace

GalleryWriter::GalleryWriter(QIODevice* device, const GallerySettings& settings)
    : m_device(device)
    , m_heading(html(settings.HtmlHeading))
    , m_font(html(settings.HtmlFontName))
{
    m_rowStart = "<div align=\"center\">\r\n<center>\r\n<table border=\"1\" cellpadding=\"0\" cellspacing=\"0\" "
                 "style=\"border-collapse: collapse\" bordercolor=\"#111111\" width=\"" +
                 html(settings.HtmlTableWidth) +
                 "%\" id=\"AutoNumber1\">\r\n<tr>\r\n<td align=\"center\" colspan=\"1\" width=\"179\">\r\n"
                 "<p align=\"center\">\r\n<a href=\"";
}

QByteArray GalleryWriter::html(const QString& text)
{
    return escaped(text, false);
}

QByteArray GalleryWriter::url(const QString& link)
{
    return escaped(link, true);
}

GalleryWriter::PageKind GalleryWriter::kindOf(int page, int pageCount)
{
    if (pageCount <= 1)
        return PageKind::Only;
    if (page == 1)
        return PageKind::First;
    if (page >= pageCount)
        return PageKind::Last;
    return PageKind::Middle;
}

void GalleryWriter::write(const char* data, qsizetype size)
{
    if (size > 0 && m_device->write(data, size) != size)
        throw OrdnixError(QStringLiteral("Die Galerieseite „%1“ kann nicht geschrieben werden: %2")
                              .arg(deviceName(m_device), m_device->errorString()));
}

void GalleryWriter::writeHeadLine()
{
    write("<HTML><HEAD><p align=\"center\"><FONT face=\"" + m_font + "\" size=\"4\">" + m_heading +
          "</font><font size=\"4\"></font></HEAD></p>\r\n");
}

void GalleryWriter::WriteGalleryRow(GalleryVariant variant, const GallerySlots& values)
{
    if (values.LinkFolder != m_linkFolder || m_linkFolderBytes.isEmpty()) {
        m_linkFolder = values.LinkFolder;
        m_linkFolderBytes = url(m_linkFolder);
    }
    if (values.ThumbFolder != m_thumbFolder || m_thumbFolderBytes.isEmpty()) {
        m_thumbFolder = values.ThumbFolder;
        m_thumbFolderBytes = url(m_thumbFolder + QLatin1String("thumbnail/"));
    }
    const QByteArray fileName = html(values.FileName);
    QByteArray& b = m_block;
    b.clear();
    b += m_rowStart;
    b += m_linkFolderBytes;
    b += url(values.FileName);
    b += "\"><IMG alt=\"";
    b += fileName;
    b += "\" src=\"";
    b += m_thumbFolderBytes;
    b += url(values.ThumbName);
    b += "\" WITH=\"160\" HEIGHT=\"120\" border=\"0\" align=\"left\" xthumbnail-orig-image=\"";
    b += fileName;
    b += "\" >\r\n</a>\r\n</td>\r\n<td with=\"85%\">\r\n&nbsp <FONT face=\"";
    b += m_font;
    b += "\" size=\"2\">Name&nbsp; : ";
    b += html(values.NameStem);
    b += '.';
    b += html(values.Ext);
    b += "<BR>&nbsp; Beschreibung : ";
    b += html(values.Description);
    if (variant == GalleryVariant::Scan)
        b += "</DIV>";
    static const QByteArray size = t(u"<DIV align=left>&nbsp; Größe : ");
    static const QByteArray resolution = t(u"</DIV><DIV align=left>&nbsp; Auflösung : ");
    b += size;
    b += html(values.SizeText);
    b += " Byte</DIV><DIV align=left>&nbsp; Dateityp : ";
    b += html(values.TypeText);
    b += resolution;
    b += html(values.ResolutionText);
    if (variant == GalleryVariant::Selection)
        b += "</DIV>";
    b += "\r\n<p>&nbsp;\r\n<BR><BR><BR>\r\n</td>\r\n</tr>\r\n</table>\r\n</center>\r\n</div>\r\n";
    write(b);
}

void GalleryWriter::preparePageLinks(int pageCount)
{
    if (m_linksFor == pageCount)
        return;
    m_linksFor = pageCount;
    m_links.clear();
    m_linkStart = {0, 0}; // entries 1 … P + 1; entry 0 unused
    for (int n = 1; n <= pageCount; ++n) {
        m_links += "<A HREF=\"image_" + QByteArray::number(n) + ".htm\"><FONT face=\"" + m_font + "\" size=\"2\">" +
                   QByteArray::number(n) + "</FONT></A>&nbsp;\r\n";
        m_linkStart.append(m_links.size());
    }
}

void GalleryWriter::writeFooter(int page, int pageCount)
{
    preparePageLinks(pageCount);
    const PageKind kind = kindOf(page, pageCount);
    const QByteArray face = "<FONT face=\"" + m_font + "\" size=\"2\">";
    // The link lines from number `from` up to, not including, number `to`.
    const auto links = [this](int from, int to) {
        write(m_links.constData() + m_linkStart[from], m_linkStart[to] - m_linkStart[from]);
    };

    QByteArray bar = "&nbsp;<P align=\"center\"><FONT face=\"" + m_font +
                     "\"> <B> <font size=\"2\">Page:</font></B><font size=\"2\">&nbsp;&nbsp;</font></FONT>"
                     "<font size=\"2\">";
    if (kind == PageKind::First)
        bar += face + "<B>1</B></FONT>&nbsp;";
    write(bar + crlf);

    switch (kind) {
    case PageKind::Only:
    case PageKind::Last:
        links(1, pageCount);
        write("<face=\"" + m_font + "\" size=\"2\"><B>" + QByteArray::number(pageCount) +
              "</B></FONT>&nbsp</font><P align=\"center\">\r\n");
        break;
    case PageKind::First:
        links(2, pageCount + 1);
        break;
    case PageKind::Middle:
        links(1, page);
        write(face + "<B>" + QByteArray::number(page) + "</B></FONT>&nbsp\r\n");
        links(page + 1, pageCount + 1);
        break;
    }

    const QByteArray gap = " ]&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;[ ";
    switch (kind) {
    case PageKind::Only:
        write("</TD></TR><P align=\"center\">[ " + face + "Prev</FONT>" + gap + face + "Next</FONT></A> ]\r\n");
        break;
    case PageKind::First:
        write("</TD></TR><P align=\"center\">[ " + face + "Prev</FONT>" + gap + "<A HREF=\"image_2.htm\">" + face +
              "Next</FONT></A> ]\r\n");
        break;
    case PageKind::Middle: {
        const QByteArray fixed = "<FONT face=\"Verdana, Arial, Helvetica, Sans-Serif\">";
        write("</TD></TR></TD></TR><P align=\"center\">[ <A HREF=\"image_" + QByteArray::number(page - 1) + ".htm\">" +
              fixed + "Prev</FONT></A>" + gap + "<A HREF=\"image_" + QByteArray::number(page + 1) + ".htm\">" + fixed +
              "Next</FONT></A> ]</font>\r\n");
        break;
    }
    case PageKind::Last:
        write("</TD></TR></TD></TR><P align=\"center\">[ <A HREF=\"image_" + QByteArray::number(pageCount - 1) +
              ".htm\">" + face + "Prev</FONT></A>" + gap + face + "Next</FONT> ]\r\n");
        break;
    }
    write("</DIV></BODY></HTML>\r\n");
}

// ---------------------------------------------------------------------------------------------

// A page file that is written only from where its new text starts to differ from what it holds:
// a rescan gives the same pages again, and their page bars grow with the square of the page count.
// An earlier page is never emptied first either: an emptied file is written back to the disk at
// once when it is closed, which would make a run of many pages wait.
class PageFile final : public QIODevice
{
public:
    explicit PageFile(const QString& path)
        : m_file(path)
    {
        setObjectName(path);
    }

    ~PageFile() override { finish(); }

    bool openPage()
    {
        if (!m_file.open(QIODevice::ReadWrite)) {
            setErrorString(m_file.errorString());
            return false;
        }
        m_oldSize = m_file.size();
        if (m_oldSize > 0)
            m_old = m_file.map(0, m_oldSize);
        return open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    // Cuts the file to what this run wrote and closes it; false when that failed.
    bool finish()
    {
        if (!m_file.isOpen())
            return true;
        if (m_old)
            m_file.unmap(const_cast<uchar*>(m_old));
        m_old = nullptr;
        const bool ok = m_file.flush() && (m_file.size() == m_written || m_file.resize(m_written));
        if (!ok)
            setErrorString(m_file.errorString());
        m_file.close();
        QIODevice::close();
        return ok;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_same) {
            if (m_old && m_written + size <= m_oldSize && std::memcmp(m_old + m_written, data, size_t(size)) == 0) {
                m_written += size;
                return size;
            }
            m_same = false;
            if (!m_file.seek(m_written)) {
                setErrorString(m_file.errorString());
                return -1;
            }
        }
        if (m_file.write(data, size) != size) {
            setErrorString(m_file.errorString());
            return -1;
        }
        m_written += size;
        return size;
    }

private:
    QFile m_file;
    const uchar* m_old = nullptr;
    qint64 m_oldSize = 0;
    qint64 m_written = 0;
    bool m_same = true;
};

GalleryPages::GalleryPages(const QString& folder, const GallerySettings& settings, int imagesPerPage, PageOpener opener)
    : m_folder(folder)
    , m_perPage(std::max(1, imagesPerPage))
    , m_opener(std::move(opener))
    , m_writer(nullptr, settings)
{
    open(1);
    m_writer.writeHeadLine();
}

GalleryPages::~GalleryPages()
{
    // After a failure the page written so far stays as it is.
    try {
        close();
    } catch (const OrdnixError&) {
    }
}

QString GalleryPages::pageFile(const QString& folder, int page)
{
    return folder + QStringLiteral("image_%1.htm").arg(page);
}

void GalleryPages::open(int page)
{
    if (m_opener) {
        m_device = m_opener(page);
    } else {
        auto file = std::make_unique<PageFile>(pageFile(m_folder, page));
        if (!file->openPage())
            throw OrdnixError(QStringLiteral("Die Galerieseite „%1“ kann nicht angelegt werden: %2")
                                  .arg(file->objectName(), file->errorString()));
        m_file = file.get();
        m_device = std::move(file);
    }
    m_writer.setDevice(m_device.get());
    m_page = page;
}

void GalleryPages::setEntryCount(int count)
{
    m_count = count;
    m_pageCount = (count + m_perPage - 1) / m_perPage;
}

void GalleryPages::addEntry(GalleryVariant variant, const GallerySlots& values)
{
    m_writer.WriteGalleryRow(variant, values);
    const int entry = m_entry++;
    if (entry != std::min(m_page * m_perPage, m_count) - 1)
        return;
    m_writer.writeFooter(m_page, m_pageCount);
    if (m_page < m_pageCount) {
        close();
        open(m_page + 1);
    }
}

void GalleryPages::close()
{
    if (!m_device)
        return;
    const std::unique_ptr<QIODevice> device = std::move(m_device);
    PageFile* file = std::exchange(m_file, nullptr);
    m_writer.setDevice(nullptr);
    if (file && !file->finish())
        throw OrdnixError(QStringLiteral("Die Galerieseite „%1“ kann nicht geschrieben werden: %2")
                              .arg(file->objectName(), file->errorString()));
    device->close();
}
