#include "images/ImportRun.h"

#include "data/TableObject.h"
#include "images/GalleryWriter.h"
#include "images/Pictures.h"
#include "platform/CodePage.h"
#include "platform/FileTimes.h"
#include "platform/FileUrl.h"
#include "platform/Folders.h"
#include "platform/OrdnixError.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QThreadPool>

#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr int thumbWidth = 160;
constexpr int thumbHeight = 120;

// Stands for a file time that could not be read.
const QDateTime zeroDateTime(QDate(1899, 12, 30), QTime(0, 0));

QString fileNameFor(const QString& stem, const QString& ext)
{
    return ext.isEmpty() ? stem : stem + QLatin1Char('.') + ext;
}

struct Decoded
{
    Pictures::Thumbnail thumbnail;
    qint64 size = 0;
    FileTimes times;
};

Decoded decode(const QString& path)
{
    Decoded d;
    d.times = readFileTimes(path);
    d.size = std::max<qint64>(0, fileSize(path));
    d.thumbnail = Pictures::MakeThumbnail(path, thumbWidth, thumbHeight);
    return d;
}

} // namespace

// The worker side of the run: decodes the pictures that need a record, in list order and a few
// ahead of the one being posted.
struct ImportRun::Decoder
{
    Decoder(const QString& folder, const QStringList& names, const std::vector<int>& rows, int threads)
        : folder(folder)
        , names(names)
        , rows(rows)
        , ahead(threads + 2)
        , futures(size_t(names.size()))
    {
        pool.setMaxThreadCount(threads);
        fill();
    }

    ~Decoder()
    {
        pool.clear();
        pool.waitForDone();
    }

    void fill()
    {
        while (next < names.size() && inFlight < ahead) {
            const int i = int(next++);
            if (rows[size_t(i)] >= 0)
                continue;
            auto promise = std::make_shared<std::promise<Decoded>>();
            futures[size_t(i)] = promise->get_future();
            pool.start([promise, path = folder + names[i]] {
                try {
                    promise->set_value(decode(path));
                } catch (...) {
                    // Out of memory, most likely: the run ends with it when it takes this picture.
                    promise->set_exception(std::current_exception());
                }
            });
            ++inFlight;
        }
    }

    Decoded take(int i, const std::function<void()>& idle)
    {
        fill();
        std::future<Decoded>& future = *futures[size_t(i)];
        while (future.wait_for(std::chrono::milliseconds(40)) != std::future_status::ready) {
            if (idle)
                idle();
        }
        Decoded d = future.get();
        futures[size_t(i)].reset();
        --inFlight;
        fill();
        return d;
    }

    const QString folder;
    const QStringList& names;
    const std::vector<int>& rows;
    const int ahead;
    std::vector<std::optional<std::future<Decoded>>> futures;
    qsizetype next = 0;
    int inFlight = 0;
    QThreadPool pool;
};

ImportRun::ImportRun(TableObject* bild, ScanState& state, const ProgramValues& values, int imagesPerPage, Hooks hooks)
    : m_bild(bild)
    , m_state(state)
    , m_values(values)
    , m_imagesPerPage(imagesPerPage)
    , m_hooks(std::move(hooks))
    , m_threads(std::max(1, QThread::idealThreadCount()))
{}

void ImportRun::ReadFiles(QStringList& list, const QString& folder)
{
    // Plain files only (hidden ones too): a sub-folder named "x.jpg" is no picture.
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (Pictures::hasScanExtension(name))
            list.append(name);
    }
}

void ImportRun::sortNames(QStringList& names)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keys.emplace_back(collator.sortKey(names[i]), i);
    std::sort(keys.begin(), keys.end(), [&names](const auto& a, const auto& b) {
        const int order = a.first.compare(b.first);
        if (order != 0)
            return order < 0;
        return names[a.second] < names[b.second]; // equal for the collation: a fixed order all the same
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto& key : keys)
        sorted.append(names[key.second]);
    names = std::move(sorted);
}

QString ImportRun::nameStem(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

QString ImportRun::extensionOf(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot + 1).toLower().left(4);
}

QString ImportRun::feinGrob(const QString& folderUrl)
{
    if (folderUrl.contains(QLatin1String("Grobbilddaten")))
        return QStringLiteral("Grobdaten");
    if (folderUrl.contains(QLatin1String("Feinbilddaten")))
        return QStringLiteral("Feindaten");
    return {};
}

QString ImportRun::thumbnailName(const QString& stem, const QString& ext, const QSet<QString>& taken)
{
    QString name = QLatin1String("TN_") + stem + QLatin1String(".jpg");
    if (!taken.contains(name))
        return name;
    const QString base = QLatin1String("TN_") + stem + QLatin1Char('_') + ext;
    name = base + QLatin1String(".jpg");
    for (int n = 2; taken.contains(name); ++n)
        name = base + QLatin1Char('_') + QString::number(n) + QLatin1String(".jpg");
    return name;
}

void ImportRun::CreateHTML1(const QString& pagePath)
{
    ensureFolder(m_values.TempFolder);
    const GallerySettings settings{m_values.HtmlHeading, m_values.HtmlTableWidth, m_values.HtmlFontName};
    try {
        GalleryPages pages(m_values.TempFolder, settings, m_imagesPerPage);
        run(pagePath, pages);
        pages.close();
    } catch (...) {
        // The run's failure is what the user must see; a second one while tidying up is not.
        try {
            m_bild->first();
        } catch (...) {
        }
        throw;
    }
    m_bild->first();
}

void ImportRun::run(const QString& pagePath, GalleryPages& pages)
{
    QStringList list;
    if (m_state.GallerySource == 0) {
        ReadFiles(list, QFileInfo(pagePath).path() + QLatin1Char('/'));
    } else {
        const QString listFile = m_values.TempFolder + QLatin1String("daten.txt");
        QFile file(listFile);
        if (!file.open(QIODevice::ReadOnly))
            throw OrdnixError(
                QStringLiteral("Die Liste „%1“ kann nicht gelesen werden: %2").arg(listFile, file.errorString()));
        list = CodePage::decodeListFile(file.readAll());
    }
    sortNames(list);
    const int count = int(list.size());
    m_state.GalleryFileCount = count;
    pages.setEntryCount(count);
    m_state.PictureFolderUrl = folderToFileUrl(m_state.PictureFolder);

    const QString keyFields = QStringLiteral("Dateipfad;Dateiname");
    const QVariant folderUrl = m_state.PictureFolderUrl;
    // Which pictures the catalogue holds already: those need no decoding.
    std::vector<int> rows(size_t(count), -1);
    for (int i = 0; i < count; ++i) {
        const QString& entry = list[i];
        if (m_bild->locate(keyFields, {folderUrl, fileNameFor(nameStem(entry), extensionOf(entry))}))
            rows[size_t(i)] = m_bild->recNo();
    }

    const int fDateipfad = m_bild->fieldIndex(QStringLiteral("Dateipfad"));
    const int fThumbname = m_bild->fieldIndex(QStringLiteral("Thumbname"));
    const int fBeschreibung = m_bild->fieldIndex(QStringLiteral("Beschreibung"));
    const int fGroesse = m_bild->fieldIndex(QStringLiteral("Groesse"));
    const int fDateityp = m_bild->fieldIndex(QStringLiteral("Dateityp"));
    const int fAufloesung = m_bild->fieldIndex(QStringLiteral("Aufloesung"));

    Decoder decoder(m_state.PictureFolder, list, rows, m_threads);
    for (int i = 0; i < count; ++i) {
        if (m_hooks.progress)
            m_hooks.progress(progressValue(i, count));
        const QString& entry = list[i];
        int row = rows[size_t(i)];
        if (row < 0)
            row = ScanPicture(entry, i, decoder);

        GallerySlots values;
        values.LinkFolder = m_state.PictureFolderUrl;
        values.FileName = entry;
        values.ThumbFolder = m_bild->valueAt(row, fDateipfad).toString();
        values.ThumbName = m_bild->valueAt(row, fThumbname).toString();
        values.NameStem = nameStem(entry);
        values.Ext = extensionOf(entry);
        values.Description = m_bild->valueAt(row, fBeschreibung).toString();
        const QVariant size = m_bild->valueAt(row, fGroesse);
        values.SizeText = size.isValid() ? QString::number(qint64(size.toDouble())) : QString();
        values.TypeText = m_bild->valueAt(row, fDateityp).toString();
        values.ResolutionText = m_bild->valueAt(row, fAufloesung).toString();
        pages.addEntry(GalleryVariant::Scan, values);
    }
}

void ImportRun::collectTakenThumbnails()
{
    if (m_takenKnown)
        return;
    m_takenKnown = true;
    const int fDateipfad = m_bild->fieldIndex(QStringLiteral("Dateipfad"));
    const int fThumbname = m_bild->fieldIndex(QStringLiteral("Thumbname"));
    for (int row = 0; row < m_bild->recordCount(); ++row) {
        if (m_bild->valueAt(row, fDateipfad).toString() == m_state.PictureFolderUrl)
            m_takenThumbnails.insert(m_bild->valueAt(row, fThumbname).toString());
    }
}

int ImportRun::ScanPicture(const QString& entry, int index, Decoder& decoder)
{
    const QString stem = nameStem(entry);
    const QString ext = extensionOf(entry);
    Decoded picture = decoder.take(index, m_hooks.idle);

    // Another name of this run may have made the record already ("a.JPG" after "a.jpg").
    if (m_bild->locate(QStringLiteral("Dateipfad;Dateiname"), {m_state.PictureFolderUrl, fileNameFor(stem, ext)}))
        return m_bild->recNo();
    if (!picture.thumbnail.error.isEmpty())
        throw OrdnixError(picture.thumbnail.error);

    // The thumbnail comes first: a record without one would never get it from a later scan.
    collectTakenThumbnails();
    const QString thumbName = thumbnailName(stem, ext, m_takenThumbnails);
    const QString thumbPath = m_state.PictureFolder + m_state.ThumbnailFolderName + QLatin1Char('/') + thumbName;
    // Written directly: a thumbnail cut short by a crash has no record yet and is made anew.
    QFile thumb(thumbPath);
    if (!thumb.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        thumb.write(picture.thumbnail.jpeg) != picture.thumbnail.jpeg.size() || !thumb.flush())
        throw OrdnixError(QStringLiteral("Das Vorschaubild „%1“ kann nicht geschrieben werden: %2")
                              .arg(thumbPath, thumb.errorString()));
    m_takenThumbnails.insert(thumbName);

    const FileTimes& times = picture.times;
    const auto timeOr = [&times](const QDateTime& t) { return !times.ok ? zeroDateTime : t; };
    try {
        m_bild->append();
        m_bild->setValue(QStringLiteral("Thumbname"), thumbName);
        m_bild->setValue(QStringLiteral("Dateipfad"), m_state.PictureFolderUrl);
        m_bild->setValue(QStringLiteral("Groesse"), picture.size);
        m_bild->setValue(QStringLiteral("Dateityp"), ext);
        m_bild->setValue(QStringLiteral("Dateiname"), fileNameFor(stem, ext));
        const QString feinGrobValue = feinGrob(m_state.PictureFolderUrl);
        if (!feinGrobValue.isEmpty())
            m_bild->setValue(QStringLiteral("FeinGrobDaten"), feinGrobValue);
        m_bild->setValue(QStringLiteral("erstelldatum"), timeOr(times.created));
        m_bild->setValue(QStringLiteral("letzterZugriff"), timeOr(times.accessed));
        m_bild->setValue(QStringLiteral("letzteAenderung"), timeOr(times.modified));
        m_bild->post();
    } catch (...) {
        m_bild->cancel();
        throw;
    }
    if (m_hooks.thumbnailMade)
        m_hooks.thumbnailMade(picture.thumbnail.image);
    return m_bild->recNo();
}
