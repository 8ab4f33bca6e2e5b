#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QString>
#include <QtEndian>

// Pictures the image tests make for themselves.
namespace PictureFixtures {

inline QImage filled(int width, int height, const QColor& colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

inline QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.write(image);
    return bytes;
}

// ZSoft PCX, 24 bits in three planes, run-length coded.
inline QByteArray pcx(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    const int perLine = w + (w % 2);
    QByteArray out(128, '\0');
    auto* head = reinterpret_cast<uchar*>(out.data());
    head[0] = 0x0A;
    head[1] = 5;
    head[2] = 1;
    head[3] = 8;
    qToLittleEndian<quint16>(quint16(w - 1), head + 8);
    qToLittleEndian<quint16>(quint16(h - 1), head + 10);
    qToLittleEndian<quint16>(72, head + 12);
    qToLittleEndian<quint16>(72, head + 14);
    head[65] = 3;
    qToLittleEndian<quint16>(quint16(perLine), head + 66);
    qToLittleEndian<quint16>(1, head + 68);
    const auto put = [&out](int value) {
        if (value >= 0xC0)
            out.append(char(0xC1));
        out.append(char(value));
    };
    for (int y = 0; y < h; ++y) {
        for (int plane = 0; plane < 3; ++plane) {
            for (int x = 0; x < perLine; ++x) {
                const QRgb p = image.pixel(std::min(x, w - 1), y);
                put(plane == 0 ? qRed(p) : plane == 1 ? qGreen(p) : qBlue(p));
            }
        }
    }
    return out;
}

// Truevision TGA, uncompressed 24 bits, rows from the top.
inline QByteArray tga(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    QByteArray out(18, '\0');
    auto* head = reinterpret_cast<uchar*>(out.data());
    head[2] = 2;
    qToLittleEndian<quint16>(quint16(image.width()), head + 12);
    qToLittleEndian<quint16>(quint16(image.height()), head + 14);
    head[16] = 24;
    head[17] = 0x20;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            out.append(char(qBlue(p))).append(char(qGreen(p))).append(char(qRed(p)));
        }
    }
    return out;
}

// A JPEG whose EXIF block says how the picture is to be turned (6: a quarter turn clockwise).
inline QByteArray jpegWithOrientation(const QImage& image, quint16 orientation)
{
    const QByteArray jpeg = encoded(image, "jpeg");
    QByteArray exif("\xFF\xE1", 2);
    QByteArray body("Exif\0\0II\x2A\0\x08\0\0\0", 14);
    const char entry[] = {1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, char(orientation), 0, 0, 0, 0, 0, 0, 0};
    body.append(entry, sizeof entry);
    const quint16 length = quint16(body.size() + 2);
    exif.append(char(length >> 8)).append(char(length & 0xFF)).append(body);
    return jpeg.left(2) + exif + jpeg.mid(2);
}

inline bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace PictureFixtures
