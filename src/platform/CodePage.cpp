#include "platform/CodePage.h"

#include <QStringView>

namespace {

// windows-1252 bytes 0x80 … 0x9F; 0 marks the five unassigned bytes.
constexpr char16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                               0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                               0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int byteFor(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    for (int i = 0; i < 32; ++i) {
        if (high[i] != 0 && high[i] == c)
            return 0x80 + i;
    }
    return -1;
}

// Text in the range where windows-1252 and Latin-1 agree: the common case, one byte per unit.
bool isPlainLatin1(QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u > 0xFF || (u >= 0x80 && u < 0xA0))
            return false;
    }
    return true;
}

} // namespace

bool CodePage::fitsWindows1252(const QString& text)
{
    if (isPlainLatin1(text))
        return true;
    for (const char32_t c : QStringView(text).toUcs4()) {
        if (byteFor(c) < 0)
            return false;
    }
    return true;
}

QByteArray CodePage::toWindows1252(const QString& text, const std::function<QByteArray(char32_t)>& fallback)
{
    if (isPlainLatin1(text))
        return text.toLatin1();
    QByteArray out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        const int b = byteFor(c);
        if (b >= 0)
            out.append(char(b));
        else if (fallback)
            out.append(fallback(c));
        else
            out.append('?');
    }
    return out;
}

QString CodePage::fromWindows1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b <= 0x9F && high[b - 0x80] != 0)
            out.append(QChar(high[b - 0x80]));
        else
            out.append(QChar(char16_t(b)));
    }
    return out;
}

bool CodePage::listFileIsUtf8(const QStringList& lines)
{
    for (const QString& line : lines) {
        if (!fitsWindows1252(line))
            return true;
    }
    return false;
}

QByteArray CodePage::encodeListLines(const QStringList& lines, qsizetype from, qsizetype to, bool utf8)
{
    QByteArray out;
    qsizetype size = 0;
    for (qsizetype i = from; i < to; ++i)
        size += lines[i].size() + 2;
    out.reserve(size); // exact for windows-1252
    for (qsizetype i = from; i < to; ++i) {
        out.append(utf8 ? lines[i].toUtf8() : toWindows1252(lines[i]));
        out.append("\r\n");
    }
    return out;
}

QByteArray CodePage::encodeListFile(const QStringList& lines)
{
    const bool utf8 = listFileIsUtf8(lines);
    const QByteArray body = encodeListLines(lines, 0, lines.size(), utf8);
    return utf8 ? QByteArrayLiteral("\xEF\xBB\xBF") + body : body;
}

QStringList CodePage::decodeListFile(const QByteArray& bytes)
{
    const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
    const QString text = utf8 ? QString::fromUtf8(bytes.mid(3)) : fromWindows1252(bytes);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
