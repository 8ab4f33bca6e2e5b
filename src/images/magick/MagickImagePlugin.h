#pragma once

#include <QByteArray>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QSize>

// Reads the picture formats Qt has no reader for (PCX, PSD, XCF, HEIC, AVIF) with ImageMagick.
//
// ImageMagick knows far more formats than these, some of them dangerous to parse. The reader
// therefore never lets it guess: it looks at the file's own signature, and only a signature of
// one of the allowed formats leads to exactly that coder, named explicitly. Every read runs
// under fixed limits of memory, pixel area, width, height and time.
class MagickImagePlugin final : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "MagickImagePlugin.json")

public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format = QByteArray()) const override;
};

class MagickImageHandler final : public QImageIOHandler
{
public:
    // The ImageMagick coder for data that starts with these bytes; empty when none is allowed.
    static QByteArray coderFor(const QByteArray& head);
    // Whether the bytes could start a Truevision TGA file. TGA has no signature, so this is only
    // asked for a file that says it is one: format "tga" set on the handler. (Qt's own TGA reader
    // takes only files of version 2.0; the program falls back to this one for the others.)
    static bool looksLikeTga(const QByteArray& head);
    // The Qt format name that coder is known by ("pcx", "psd", …).
    static QByteArray formatOf(const QByteArray& coder);

    bool canRead() const override;
    bool read(QImage* image) override;
    bool supportsOption(ImageOption option) const override;
    QVariant option(ImageOption option) const override;

    // Files larger than this are refused before they are read into memory.
    static constexpr qint64 maxFileBytes = qint64(256) << 20;
    // The longest a single picture may take to decode.
    static constexpr int timeLimitMs = 20000;

private:
    bool loadData() const;

    mutable QByteArray m_coder;
    mutable QByteArray m_data;
    mutable QSize m_size;
    mutable bool m_loaded = false;
    mutable bool m_pinged = false;
};
