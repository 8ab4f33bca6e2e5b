#include "images/SelectionGallery.h"

#include "images/ImportRun.h"
#include "platform/CodePage.h"
#include "platform/Folders.h"
#include "platform/OrdnixError.h"

#include <QFile>

#include <cmath>

namespace {

const QChar separators[] = {u';', u'#', u'\u00A7', u'%'};

bool isHex(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

bool isEscape(const QString& text, qsizetype at)
{
    return at + 2 < text.size() && isHex(text[at + 1]) && isHex(text[at + 2]);
}

QString encodeField(const QString& field)
{
    QString out;
    out.reserve(field.size());
    for (QChar c : field) {
        switch (c.unicode()) {
        case u';':
            out += QLatin1String("%3B");
            break;
        case u'#':
            out += QLatin1String("%23");
            break;
        case 0xA7:
            out += QLatin1String("%A7");
            break;
        case u'%':
            out += QLatin1String("%25");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The thumbnail follows the last separator, a '%'. A '%' inside a field is always an escape, so
// the separator is the first '%' that does not begin one; a thumbnail name that itself begins
// with two hexadecimal digits has its first character escaped as well.
QString encodeThumbnail(const QString& name)
{
    QString out = encodeField(name);
    if (out.size() >= 2 && isHex(out[0]) && isHex(out[1]))
        out = QStringLiteral("%%1").arg(uint(out[0].unicode()), 2, 16, QLatin1Char('0')).toUpper() + out.mid(1);
    return out;
}

QString decodeField(const QString& field)
{
    if (!field.contains(u'%'))
        return field;
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == u'%' && isEscape(field, i)) {
            out += QChar(char16_t(field.mid(i + 1, 2).toUShort(nullptr, 16)));
            i += 2;
        } else {
            out += field[i];
        }
    }
    return out;
}

QString text(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

QString range(const QString& line, qsizetype from, qsizetype to)
{
    return from < 0 || to <= from ? QString() : line.mid(from, to - from);
}

} // namespace

QString SelectionGallery::listLine(const Record& record)
{
    QString path = text(record.Dateipfad) + text(record.Dateiname);
    if (!path.startsWith(QLatin1String("file:////")))
        path = path.mid(7);
    QString description = text(record.Beschreibung);
    if (description.isEmpty())
        description = QStringLiteral("leer");
    bool isNumber = false;
    const double size = record.Groesse.isNull() ? 0.0 : record.Groesse.toDouble(&isNumber);
    const QString sizeText = QString::number(isNumber ? qint64(std::llround(size)) : 0);
    QString resolution = text(record.Aufloesung);
    if (resolution.isEmpty())
        resolution = QStringLiteral("0");
    return encodeField(path) + separators[0] + encodeField(description) + separators[1] + sizeText + separators[2] +
           encodeField(resolution) + separators[3] + encodeThumbnail(text(record.Thumbname));
}

GallerySlots SelectionGallery::ParseListLine(const QString& line)
{
    const qsizetype p1 = line.indexOf(separators[0]);
    const qsizetype p2 = line.indexOf(separators[1], p1 + 1);
    const qsizetype p3 = line.indexOf(separators[2], p2 + 1);
    qsizetype p4 = line.indexOf(separators[3], p3 + 1);
    while (p4 >= 0 && isEscape(line, p4))
        p4 = line.indexOf(separators[3], p4 + 1);

    GallerySlots parsed;
    const QString pathPart = decodeField(p1 < 0 ? line : line.left(p1));
    if (p1 >= 0)
        parsed.Description = decodeField(range(line, p1 + 1, p2 < 0 ? line.size() : p2));
    if (p2 >= 0)
        parsed.SizeText = range(line, p2 + 1, p3 < 0 ? line.size() : p3);
    if (p3 >= 0)
        parsed.ResolutionText = decodeField(range(line, p3 + 1, p4 < 0 ? line.size() : p4));
    if (p4 >= 0)
        parsed.ThumbName = decodeField(line.mid(p4 + 1));

    const qsizetype slash = pathPart.lastIndexOf(u'/');
    parsed.FileName = pathPart.mid(slash + 1);
    parsed.NameStem = ImportRun::nameStem(parsed.FileName);
    parsed.Ext = ImportRun::extensionOf(parsed.FileName);
    parsed.TypeText = parsed.Ext;
    const QString folder = pathPart.left(slash + 1);
    const QString url = folder.startsWith(QLatin1String("file:////")) ? folder : QLatin1String("file://") + folder;
    parsed.LinkFolder = url;
    parsed.ThumbFolder = url;
    return parsed;
}

int SelectionGallery::Run::CreateHTML2()
{
    ensureFolder(folder);
    GalleryPages pages(folder, settings, imagesPerPage);
    QFile file(listFile);
    if (!file.open(QIODevice::ReadOnly))
        throw OrdnixError(
            QStringLiteral("Die Liste „%1“ kann nicht gelesen werden: %2").arg(listFile, file.errorString()));
    QStringList lines = CodePage::decodeListFile(file.readAll());
    file.close();
    ImportRun::sortNames(lines);
    const int count = int(lines.size());
    pages.setEntryCount(count);
    for (int i = 0; i < count; ++i) {
        if (progress)
            progress(ImportRun::progressValue(i, count));
        pages.addEntry(GalleryVariant::Selection, ParseListLine(lines[i]));
    }
    pages.close();
    return pages.pageCount();
}
