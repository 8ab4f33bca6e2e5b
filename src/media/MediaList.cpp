#include "media/MediaList.h"

#include "platform/CodePage.h"
#include "platform/FileUrl.h"
#include "platform/FolderSearch.h"
#include "platform/OrdnixError.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

QString escaped(const QString& line)
{
    if (!line.contains(QLatin1Char('\\')) && !line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')))
        return line;
    QString out;
    out.reserve(line.size() + 8);
    for (const QChar c : line) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else
            out += c;
    }
    return out;
}

QString unescaped(const QString& line)
{
    if (!line.contains(QLatin1Char('\\')))
        return line;
    QString out;
    out.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char('\\') && i + 1 < line.size()) {
            const QChar next = line[++i];
            out += next == QLatin1Char('r') ? QChar(u'\r') : next == QLatin1Char('n') ? QChar(u'\n') : next;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

QStringList MediaList::collect(const QString& folder, const QString& mask)
{
    QStringList lines;
    // The folder as an absolute path without "." or ".." steps: the records keep it that way.
    FindAllFiles(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()), mask, true, lines);
    sort(lines);
    return lines;
}

void MediaList::sort(QStringList& lines)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // One sort key per line is far cheaper than collating pairs of lines again and again.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(lines.size()));
    for (const QString& line : std::as_const(lines))
        keys.push_back(collator.sortKey(line));
    std::vector<qsizetype> order(size_t(lines.size()));
    std::iota(order.begin(), order.end(), 0);
    // Lines that the collation holds equal keep a fixed order: by their characters.
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const int c = keys[size_t(a)].compare(keys[size_t(b)]);
        return c != 0 ? c < 0 : lines[a] < lines[b];
    });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (const qsizetype i : order)
        sorted.append(std::move(lines[i]));
    lines = std::move(sorted);
}

QByteArray MediaList::encode(const QStringList& lines)
{
    QStringList out;
    out.reserve(lines.size());
    for (const QString& line : lines)
        out.append(escaped(line));
    return CodePage::encodeListFile(out);
}

QStringList MediaList::decode(const QByteArray& bytes)
{
    // Line by line, as CodePage::decodeListFile reads, but without a copy of the whole text: the
    // list of a large tree is read back while the catalogue of it is already in memory.
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
    QStringList lines;
    for (qsizetype start = utf8 ? 3 : 0; start < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        qsizetype length = end - start;
        if (length > 0 && bytes[start + length - 1] == '\r')
            --length;
        const char* line = bytes.constData() + start;
        lines.append(unescaped(utf8 ? QString::fromUtf8(line, length)
                                    : CodePage::fromWindows1252(QByteArray::fromRawData(line, length))));
        start = end + 1;
    }
    return lines;
}

void MediaList::write(const QString& path, const QStringList& lines)
{
    QFile file(path);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    // Escaping adds plain ASCII only, so the unescaped lines decide the code page. The bytes go
    // out in pieces: the list of a large tree is not held a second time.
    const bool utf8 = CodePage::listFileIsUtf8(lines);
    if (ok && utf8)
        ok = file.write("\xEF\xBB\xBF", 3) == 3;
    constexpr qsizetype piece = 4096;
    QStringList part;
    for (qsizetype from = 0; ok && from < lines.size(); from += piece) {
        const qsizetype to = std::min(lines.size(), from + piece);
        part.clear();
        for (qsizetype i = from; i < to; ++i)
            part.append(escaped(lines[i]));
        const QByteArray bytes = CodePage::encodeListLines(part, 0, part.size(), utf8);
        ok = file.write(bytes) == bytes.size();
    }
    if (!ok || !file.flush())
        throw OrdnixError(
            QStringLiteral("Die Liste „%1“ kann nicht geschrieben werden: %2").arg(path, file.errorString()));
}

QStringList MediaList::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw OrdnixError(QStringLiteral("Die Liste „%1“ kann nicht gelesen werden: %2").arg(path, file.errorString()));
    return decode(file.readAll());
}

MediaList::Line MediaList::split(const QString& line)
{
    const qsizetype semicolon = line.lastIndexOf(QLatin1Char(';'));
    if (semicolon < 0)
        return {line, 0};
    return {line.left(semicolon), QStringView(line).mid(semicolon + 1).toLongLong()};
}

FilePlace FilePlaces::of(const QString& fullName)
{
    const qsizetype slash = fullName.lastIndexOf(QLatin1Char('/'));
    const QStringView folder = QStringView(fullName).left(slash + 1);
    if (m_url.isEmpty() || folder != m_folder) {
        m_folder = folder.toString();
        m_url = folderToFileUrl(QDir::isAbsolutePath(m_folder) ? m_folder : QDir(m_folder).absolutePath());
        m_path = fileUrlToPath(m_url);
    }
    FilePlace place;
    place.Dateipfad = m_url;
    place.name = fullName.mid(slash + 1);
    const qsizetype point = place.name.lastIndexOf(QLatin1Char('.'));
    if (point >= 0)
        place.type = *m_types.insert(place.name.mid(point + 1, 4).toLower());
    place.path = m_path + place.name;
    place.folder = m_path;
    return place;
}
