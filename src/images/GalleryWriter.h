#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class PageFile;
class QIODevice;

// The values of one picture block of a gallery page.
struct GallerySlots
{
    QString LinkFolder;  // "file:" URL of the picture's folder, ending in '/'
    QString FileName;    // the picture's file name without folder
    QString ThumbFolder; // "file:" URL of the folder whose "thumbnail/" holds the thumbnail
    QString ThumbName;
    QString NameStem;
    QString Ext;
    QString Description;
    QString SizeText;
    QString TypeText;
    QString ResolutionText;
};

// The scan variant closes the description's DIV, the selection variant the resolution's.
enum class GalleryVariant
{
    Scan,
    Selection,
};

struct GallerySettings
{
    QString HtmlHeading;
    QString HtmlTableWidth;
    QString HtmlFontName;
};

// Writes the pieces of a gallery page to a device: windows-1252 text, CR LF after every line.
// Every inserted value is escaped for HTML; in links the characters that would cut a URL are
// percent-encoded. A character outside windows-1252 becomes a character reference in text and
// is percent-encoded (UTF-8) in links, so nothing is lost. Write failures raise OrdnixError
// naming the file.
class GalleryWriter
{
public:
    enum class PageKind
    {
        Only,
        First,
        Middle,
        Last,
    };

    GalleryWriter(QIODevice* device, const GallerySettings& settings);

    // The next page of the same run goes to another device.
    void setDevice(QIODevice* device) { m_device = device; }

    void writeHeadLine();
    void WriteGalleryRow(GalleryVariant variant, const GallerySlots& values);
    // The four footer lines of page `page` of `pageCount`.
    void writeFooter(int page, int pageCount);

    static PageKind kindOf(int page, int pageCount);
    static QByteArray html(const QString& text); // escaped text or attribute value, encoded
    static QByteArray url(const QString& link);  // escaped link, encoded

private:
    void write(const char* data, qsizetype size);
    void write(const QByteArray& bytes) { write(bytes.constData(), bytes.size()); }
    void preparePageLinks(int pageCount);

    QIODevice* m_device;
    QByteArray m_heading;
    QByteArray m_font;
    QByteArray m_rowStart; // lines 1 to 6 and the start of line 7
    QByteArray m_block;    // the block being written, kept to reuse its memory
    // Most rows of one run share their folders; their encoded forms are kept.
    QString m_linkFolder;
    QByteArray m_linkFolderBytes;
    QString m_thumbFolder;
    QByteArray m_thumbFolderBytes;
    // The page bar's link lines 1 … P of the run, one after the other, and where each starts:
    // every footer of the run is cut from them.
    int m_linksFor = -1;
    QByteArray m_links;
    QList<qsizetype> m_linkStart;
};

// A run's series of page files "image_1.htm", "image_2.htm", … : the head line on page 1, the
// picture blocks spread K to a page, each page closed by its footer. Opening or writing a page
// that fails raises OrdnixError naming the file; what was written up to then stays.
class GalleryPages
{
public:
    // Opens page n for writing; the default opens folder + "image_{n}.htm".
    using PageOpener = std::function<std::unique_ptr<QIODevice>(int page)>;

    // Opens page 1 and writes the head line.
    GalleryPages(const QString& folder, const GallerySettings& settings, int imagesPerPage, PageOpener opener = {});
    ~GalleryPages();

    // Once the run knows its number of entries.
    void setEntryCount(int count);
    // The block of the next entry, then the end-of-page step.
    void addEntry(GalleryVariant variant, const GallerySlots& values);
    void close();

    int pageCount() const { return m_pageCount; }
    static QString pageFile(const QString& folder, int page);

private:
    void open(int page);

    QString m_folder;
    int m_perPage;
    PageOpener m_opener;
    std::unique_ptr<QIODevice> m_device;
    PageFile* m_file = nullptr; // m_device, when it is a page file
    GalleryWriter m_writer;
    int m_count = 0;
    int m_pageCount = 0;
    int m_page = 1;
    int m_entry = 0;
};
