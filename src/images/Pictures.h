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

} // namespace Pictures
