#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// The picture readers of the program and the thumbnails it makes of pictures. Widget-free and
// safe to use from worker threads.
namespace Pictures {

// Makes the program's own reader (PCX, PSD, XCF, HEIC, AVIF) known to Qt's image readers.
// Cheap after the first call; everything that reads pictures calls it first.
void registerReaders();

// The extensions, with dot and in lower case, that a folder scan takes.
const QStringList& scanExtensions();
bool hasScanExtension(const QString& fileName);

// The open-picture dialog's filter: all readable picture formats first, then each one.
QString dialogFilter();

// The size of a picture's thumbnail: fitted into maxWidth × maxHeight with its aspect ratio
// kept, never enlarged, each side rounded to the nearest whole number with halves to even.
QSize thumbnailSize(const QSize& picture, int maxWidth, int maxHeight);

struct Thumbnail
{
    QImage image;      // colour, at most maxWidth × maxHeight, upright
    QByteArray jpeg;   // image as a baseline JPEG of quality 90
    QSize pictureSize; // of the picture as it is shown (its orientation applied)
    QString error;     // German, naming the file; empty on success
};

// Decodes the picture once, scaled while decoding where its format allows, turned as its stored
// orientation says, and encodes the thumbnail.
Thumbnail MakeThumbnail(const QString& path, int maxWidth, int maxHeight);

// Colour (24 bits per pixel), quality 90, baseline; an alpha channel is laid on white.
QByteArray encodeThumbnail(const QImage& image);

// The file a catalogue path names. The catalogue may spell a name's extension in another case
// than the file on disk ("IMG_7.jpg" for "IMG_7.JPG"): when the exact path does not exist, the
// folder is searched for the name with letter case ignored. Otherwise the path as given.
QString findPicture(const QString& path);

// A picture as it is shown (turned upright), or its error (German, naming the file).
struct Loaded
{
    QImage image;
    QString error;
};
Loaded loadPicture(const QString& path);

// The size of a picture as it is shown, read from its header without decoding the pixels where
// the format allows; formats that do not tell their size up front are decoded. An invalid size
// and the error when the file cannot be read as a picture.
struct Measured
{
    QSize size;
    QString error;
};
Measured measurePicture(const QString& path);

} // namespace Pictures
