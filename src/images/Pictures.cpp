#include "images/Pictures.h"

#include "images/magick/MagickImagePlugin.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QtPlugin>

#include <cmath>

// Defined by the reader plugin's metadata (static plugin).
extern const QStaticPlugin qt_static_plugin_MagickImagePlugin();

namespace {

QString readError(const QString& path, const QString& reason)
{
    return QStringLiteral("Das Bild „%1“ kann nicht gelesen werden: %2").arg(path, reason);
}

// Why a file cannot serve as a picture, before any reader is asked.
QString fileProblem(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return readError(path, QStringLiteral("Die Datei ist nicht vorhanden."));
    if (info.isDir())
        return readError(path, QStringLiteral("Das ist ein Ordner, keine Bilddatei."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return readError(path, file.errorString());
    if (file.size() == 0)
        return readError(path, QStringLiteral("Die Datei ist leer."));
    return {};
}

// TGA files without the version 2.0 footer, which Qt's reader refuses, go to the program's own.
bool isOlderTga(const QString& path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("tga"), Qt::CaseInsensitive) != 0)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A version 2.0 file ends in a 26-byte footer whose last 18 bytes are this signature.
    if (file.size() < 18 + 26 || !file.seek(file.size() - 18))
        return true;
    return file.read(18) != QByteArray("TRUEVISION-XFILE.\0", 18);
}

QImage readOlderTga(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    MagickImageHandler handler;
    handler.setDevice(&file);
    handler.setFormat("tga");
    QImage image;
    if (!handler.canRead() || !handler.read(&image))
        return {};
    return image;
}

int roundHalfEven(double value)
{
    return int(std::nearbyint(value)); // the default rounding mode rounds halves to even
}

} // namespace

void Pictures::registerReaders()
{
    static const bool registered = [] {
        qRegisterStaticPluginFunction(qt_static_plugin_MagickImagePlugin());
        return true;
    }();
    Q_UNUSED(registered);
}

const QStringList& Pictures::scanExtensions()
{
    static const QStringList extensions{QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".bmp"),
                                        QStringLiteral(".pcx"), QStringLiteral(".png"),  QStringLiteral(".tga"),
                                        QStringLiteral(".tif")};
    return extensions;
}

bool Pictures::hasScanExtension(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && scanExtensions().contains(fileName.mid(dot).toLower());
}

QString Pictures::dialogFilter()
{
    registerReaders();
    QStringList all;
    QStringList each;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString lower = QString::fromLatin1(format).toLower();
        if (lower == QLatin1String("svg") || lower == QLatin1String("svgz"))
            continue;
        // Name filters match case-sensitively here, and cameras like upper-case extensions.
        const QString patterns = QStringLiteral("*.%1 *.%2").arg(lower, lower.toUpper());
        if (all.contains(patterns))
            continue;
        all.append(patterns);
        each.append(QStringLiteral("%1 (%2)").arg(lower.toUpper(), patterns));
    }
    return QStringLiteral("Alle Bilddateien (%1);;").arg(all.join(QLatin1Char(' '))) + each.join(QLatin1String(";;")) +
           QStringLiteral(";;Alle Dateien (*)");
}

QSize Pictures::thumbnailSize(const QSize& picture, int maxWidth, int maxHeight)
{
    if (picture.isEmpty())
        return {};
    const double rx = double(maxWidth) / picture.width();
    const double ry = double(maxHeight) / picture.height();
    double r = ry < rx ? ry : rx;
    if (r > 1.0)
        r = 1.0;
    // A sliver of a picture still gets a visible thumbnail.
    return {std::max(1, roundHalfEven(picture.width() * r)), std::max(1, roundHalfEven(picture.height() * r))};
}

QByteArray Pictures::encodeThumbnail(const QImage& image)
{
    QImage colour(image.size(), QImage::Format_RGB32);
    if (image.hasAlphaChannel()) {
        colour.fill(Qt::white);
        QPainter painter(&colour);
        painter.drawImage(0, 0, image);
    } else {
        colour = image.convertToFormat(QImage::Format_RGB32);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false);
    if (!writer.write(colour))
        return {};
    return bytes;
}

Pictures::Thumbnail Pictures::MakeThumbnail(const QString& path, int maxWidth, int maxHeight)
{
    registerReaders();
    Thumbnail result;
    QImage image;
    QString reason;
    if (isOlderTga(path)) {
        image = readOlderTga(path);
        result.pictureSize = image.size();
        reason = QStringLiteral("Die TGA-Datei ist beschädigt.");
    } else {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QSize stored = reader.size();
        const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
        if (stored.isValid() && !stored.isEmpty()) {
            const QSize shown = turned ? stored.transposed() : stored;
            const QSize target = thumbnailSize(shown, maxWidth, maxHeight);
            // The reader scales the picture as stored, before it is turned upright.
            if (target != shown)
                reader.setScaledSize(turned ? target.transposed() : target);
            result.pictureSize = shown;
        }
        image = reader.read();
        reason = reader.errorString();
    }
    if (image.isNull()) {
        result.error = fileProblem(path);
        if (result.error.isEmpty())
            result.error = readError(path, reason);
        return result;
    }
    if (!result.pictureSize.isValid())
        result.pictureSize = image.size();
    const QSize target = thumbnailSize(result.pictureSize, maxWidth, maxHeight);
    if (image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    result.jpeg = encodeThumbnail(image);
    if (result.jpeg.isEmpty()) {
        result.error = QStringLiteral("Das Vorschaubild von „%1“ kann nicht erzeugt werden.").arg(path);
        return result;
    }
    result.image = std::move(image);
    return result;
}

QString Pictures::findPicture(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() || path.isEmpty())
        return path;
    const QDir folder = info.dir();
    if (!folder.exists())
        return path;
    const QString name = info.fileName();
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    }
    return path;
}

Pictures::Loaded Pictures::loadPicture(const QString& path)
{
    registerReaders();
    const QString file = findPicture(path);
    Loaded result;
    QString reason;
    if (isOlderTga(file)) {
        result.image = readOlderTga(file);
        reason = QStringLiteral("Die TGA-Datei ist beschädigt.");
    } else {
        QImageReader reader(file);
        reader.setAutoTransform(true);
        result.image = reader.read();
        reason = reader.errorString();
    }
    if (result.image.isNull()) {
        result.error = fileProblem(file);
        if (result.error.isEmpty())
            result.error = readError(file, reason);
    }
    return result;
}

Pictures::Measured Pictures::measurePicture(const QString& path)
{
    registerReaders();
    const QString file = findPicture(path);
    Measured result;
    if (!isOlderTga(file)) {
        QImageReader reader(file);
        reader.setAutoTransform(true);
        const QSize stored = reader.size();
        if (stored.isValid() && !stored.isEmpty()) {
            const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
            result.size = turned ? stored.transposed() : stored;
            return result;
        }
    }
    // No size in the header: the picture itself tells it, or why it cannot be read.
    Loaded loaded = loadPicture(file);
    result.size = loaded.image.size();
    result.error = std::move(loaded.error);
    if (!result.error.isEmpty())
        result.size = QSize();
    return result;
}
