#pragma once

#include "platform/Context.h"

#include <QImage>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class GalleryPages;
class TableObject;

// What the scan commands decide before the import run, kept between commands.
struct ScanState
{
    int GallerySource = 0; // 0: every picture of a folder; 1: the names in "daten.txt"; 2: selected records
    QString ThumbnailFolderName = QStringLiteral("thumbnail");
    QString ChosenFolder;     // folder of the picked picture, ending in '/'
    QString ChosenFile;       // the (last) picked picture
    QString PictureFolder;    // folder of ChosenFile, ending in '/'; records and thumbnails derive from it
    QString PictureFolderUrl; // its catalogue form, "file://…/"
    int GalleryFileCount = 0;
};

// The import run of the scan commands: lists the pictures, gives every picture the catalogue does
// not hold yet a record and a thumbnail, and writes each picture's block into the gallery pages.
//
// Pictures are decoded and their thumbnails encoded on worker threads, a few ahead of the run;
// records are appended and posted here, in list order. A picture already catalogued costs one
// lookup. A picture that cannot be read, or whose thumbnail cannot be written, ends the run with
// an OrdnixError naming the file; it gets no record, and everything posted before it stays.
class ImportRun
{
public:
    struct Hooks
    {
        std::function<void(int percent)> progress;        // before each entry
        std::function<void()> idle;                       // now and then while a picture decodes
        std::function<void(const QImage&)> thumbnailMade; // after each new record
    };

    ImportRun(TableObject* bild, ScanState& state, const ProgramValues& values, int imagesPerPage, Hooks hooks = {});

    // Runs the import; the folder part of pagePath is the folder scanned when GallerySource is 0.
    // Afterwards, also after a failure, the page file is closed and the first record is current.
    void CreateHTML1(const QString& pagePath);

    // Decoding threads; at least one.
    void setThreadCount(int threads) { m_threads = std::max(1, threads); }

    // The names of the picture files in the folder (which ends in '/'), by their extension.
    static void ReadFiles(QStringList& list, const QString& folder);
    // Ascending by the user's collation, letter case ignored.
    static void sortNames(QStringList& names);
    // The progress bar's value before entry i of count.
    static int progressValue(int i, int count) { return int(qint64(i) * 100 / count); }
    // The name without its extension (the part before the last '.').
    static QString nameStem(const QString& fileName);
    // The extension in lower case without the dot, at most 4 characters.
    static QString extensionOf(const QString& fileName);
    // "Grobdaten", "Feindaten" or nothing, by the folder.
    static QString feinGrob(const QString& folderUrl);
    // "TN_" + stem + ".jpg", unless another record of the folder already has that name.
    static QString thumbnailName(const QString& stem, const QString& ext, const QSet<QString>& taken);

private:
    struct Decoder;

    void run(const QString& pagePath, GalleryPages& pages);
    int ScanPicture(const QString& entry, int index, Decoder& decoder);
    void collectTakenThumbnails();

    TableObject* m_bild;
    ScanState& m_state;
    const ProgramValues& m_values;
    int m_imagesPerPage;
    Hooks m_hooks;
    int m_threads;
    bool m_takenKnown = false;
    QSet<QString> m_takenThumbnails;
};
