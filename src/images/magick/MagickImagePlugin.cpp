#include "images/magick/MagickImagePlugin.h"

#include <QDeadlineTimer>
#include <QIODevice>
#include <QImage>
#include <QVariant>
#include <QtEndian>

#include <Magick++.h>

#include <algorithm>
#include <array>
#include <mutex>
#include <string>

namespace {

// How much of a file the signature tests look at.
constexpr qint64 headBytes = 512;

void initializeMagick()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        using Limits = Magick::ResourceLimits;
        Limits::memory(MagickCore::MagickSizeType(256) << 20);
        Limits::map(MagickCore::MagickSizeType(512) << 20);
        // Nothing is ever cached on disk: a picture too large for memory fails instead.
        Limits::disk(0);
        Limits::area(MagickCore::MagickSizeType(100) * 1000 * 1000);
        Limits::width(16384);
        Limits::height(16384);
        Limits::listLength(4096);
        // The import decodes on worker threads of its own; ImageMagick adds none.
        Limits::thread(1);
    });
}

MagickCore::MagickBooleanType withinTime(const char*, const MagickCore::MagickOffsetType,
                                         const MagickCore::MagickSizeType, void* deadline)
{
    return static_cast<const QDeadlineTimer*>(deadline)->hasExpired() ? MagickCore::MagickFalse
                                                                      : MagickCore::MagickTrue;
}

bool isPcx(const QByteArray& h)
{
    if (h.size() < 128)
        return false;
    const auto* b = reinterpret_cast<const uchar*>(h.constData());
    const std::array<uchar, 5> versions{0, 2, 3, 4, 5};
    if (b[0] != 0x0A || std::find(versions.begin(), versions.end(), b[1]) == versions.end() || b[2] > 1)
        return false;
    if (b[3] != 1 && b[3] != 2 && b[3] != 4 && b[3] != 8)
        return false;
    const quint16 xmin = qFromLittleEndian<quint16>(b + 4), ymin = qFromLittleEndian<quint16>(b + 6);
    const quint16 xmax = qFromLittleEndian<quint16>(b + 8), ymax = qFromLittleEndian<quint16>(b + 10);
    return xmax >= xmin && ymax >= ymin && b[65] >= 1 && b[65] <= 4;
}

// HEIF containers: the brands of the leading "ftyp" box.
QByteArray heifCoder(const QByteArray& h)
{
    if (h.size() < 16 || h.mid(4, 4) != "ftyp")
        return {};
    const qsizetype boxSize = qFromBigEndian<quint32>(h.constData());
    const qsizetype end = std::min<qsizetype>(std::max<qsizetype>(boxSize, 16), h.size());
    QList<QByteArray> brands{h.mid(8, 4)};
    for (qsizetype at = 16; at + 4 <= end; at += 4)
        brands.append(h.mid(at, 4));
    for (const QByteArray& brand : brands) {
        if (brand == "avif" || brand == "avis")
            return QByteArrayLiteral("AVIF");
    }
    for (const QByteArray& brand : brands) {
        for (const char* heif : {"heic", "heix", "hevc", "hevx", "heim", "heis", "hevm", "hevs", "mif1", "msf1"}) {
            if (brand == heif)
                return QByteArrayLiteral("HEIC");
        }
    }
    return {};
}

} // namespace

QByteArray MagickImageHandler::coderFor(const QByteArray& head)
{
    if (isPcx(head))
        return QByteArrayLiteral("PCX");
    if (head.startsWith("8BPS") && head.size() >= 6) {
        const quint16 version = qFromBigEndian<quint16>(head.constData() + 4);
        if (version == 1)
            return QByteArrayLiteral("PSD");
        if (version == 2)
            return QByteArrayLiteral("PSB");
        return {};
    }
    if (head.startsWith("gimp xcf "))
        return QByteArrayLiteral("XCF");
    return heifCoder(head);
}

bool MagickImageHandler::looksLikeTga(const QByteArray& head)
{
    if (head.size() < 18)
        return false;
    const auto* b = reinterpret_cast<const uchar*>(head.constData());
    const uchar colourMapType = b[1];
    const uchar imageType = b[2];
    const uchar depth = b[16];
    const bool knownType =
        imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 || imageType == 10 || imageType == 11;
    const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    const quint16 width = qFromLittleEndian<quint16>(b + 12);
    const quint16 height = qFromLittleEndian<quint16>(b + 14);
    return colourMapType <= 1 && knownType && knownDepth && width > 0 && height > 0;
}

QByteArray MagickImageHandler::formatOf(const QByteArray& coder)
{
    return coder.toLower();
}

bool MagickImageHandler::canRead() const
{
    if (m_coder.isEmpty() && device()) {
        const QByteArray head = device()->peek(headBytes);
        m_coder = coderFor(head);
        if (m_coder.isEmpty() && format() == "tga" && looksLikeTga(head))
            m_coder = QByteArrayLiteral("TGA");
    }
    if (m_coder.isEmpty())
        return false;
    const_cast<MagickImageHandler*>(this)->setFormat(formatOf(m_coder));
    return true;
}

bool MagickImageHandler::loadData() const
{
    if (m_loaded)
        return !m_data.isEmpty();
    m_loaded = true;
    if (!canRead())
        return false;
    QIODevice* d = device();
    if (!d->isSequential() && d->size() - d->pos() > maxFileBytes)
        return false;
    m_data = d->read(maxFileBytes + 1);
    if (m_data.size() > maxFileBytes)
        m_data.clear();
    return !m_data.isEmpty();
}

bool MagickImageHandler::read(QImage* image)
{
    if (!loadData())
        return false;
    initializeMagick();
    try {
        const Magick::Blob blob(m_data.constData(), size_t(m_data.size()));
        Magick::Image picture;
        picture.quiet(true);
        // The first frame only: for layered formats that is the composed picture.
        picture.subImage(0);
        picture.subRange(1);
        picture.magick(std::string(m_coder.constData()));
        QDeadlineTimer deadline(timeLimitMs);
        MagickCore::SetImageInfoProgressMonitor(picture.imageInfo(), &withinTime, &deadline);
        picture.read(blob);
        if (deadline.hasExpired())
            return false;
        const size_t width = picture.columns();
        const size_t height = picture.rows();
        if (width == 0 || height == 0)
            return false;
        const MagickCore::ColorspaceType space = picture.colorSpace();
        if (space != MagickCore::sRGBColorspace && space != MagickCore::RGBColorspace &&
            space != MagickCore::GRAYColorspace && space != MagickCore::TransparentColorspace)
            picture.colorSpace(MagickCore::sRGBColorspace);
        QImage result(int(width), int(height), picture.matte() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (result.isNull())
            return false;
        // QImage's 32-bit pixels lie in memory as B, G, R, A on this byte order.
        picture.write(0, 0, width, height, "BGRA", Magick::CharPixel, result.bits());
        *image = std::move(result);
        m_size = image->size();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool MagickImageHandler::supportsOption(ImageOption option) const
{
    return option == Size;
}

QVariant MagickImageHandler::option(ImageOption option) const
{
    if (option != Size)
        return {};
    if (!m_pinged && m_size.isEmpty() && loadData()) {
        m_pinged = true;
        initializeMagick();
        try {
            const Magick::Blob blob(m_data.constData(), size_t(m_data.size()));
            Magick::Image picture;
            picture.quiet(true);
            picture.subImage(0);
            picture.subRange(1);
            picture.magick(std::string(m_coder.constData()));
            picture.ping(blob);
            m_size = QSize(int(picture.columns()), int(picture.rows()));
        } catch (const std::exception&) {
            m_size = QSize();
        }
    }
    return m_size.isEmpty() ? QVariant() : QVariant(m_size);
}

QImageIOPlugin::Capabilities MagickImagePlugin::capabilities(QIODevice* device, const QByteArray& format) const
{
    // With data to look at, only the signature counts: a PNG named "x.pcx" is left to Qt's reader.
    if (device && device->isReadable())
        return MagickImageHandler::coderFor(device->peek(headBytes)).isEmpty() ? Capabilities() : CanRead;
    static const QList<QByteArray> keys{"pcx", "psd", "psb", "xcf", "heic", "heif", "avif"};
    return keys.contains(format.toLower()) ? CanRead : Capabilities();
}

QImageIOHandler* MagickImagePlugin::create(QIODevice* device, const QByteArray& format) const
{
    auto* handler = new MagickImageHandler;
    handler->setDevice(device);
    handler->setFormat(format);
    return handler;
}
