#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Text files in the code page the program writes: windows-1252 with CR LF line ends.
namespace CodePage {

// True when every character has a windows-1252 byte.
bool fitsWindows1252(const QString& text);

// Encodes to windows-1252; a character without a byte is handed to fallback, whose bytes are
// written in its place (e.g. an HTML character reference). Without a fallback it becomes '?'.
QByteArray toWindows1252(const QString& text, const std::function<QByteArray(char32_t)>& fallback = {});
QString fromWindows1252(const QByteArray& bytes);

// A list file: lines joined with CR LF (also after the last). In windows-1252 when every line
// fits, otherwise in UTF-8 behind a byte-order mark, so that no character is lost.
QByteArray encodeListFile(const QStringList& lines);
// The same in pieces, for long lists: whether the file is UTF-8 (then it starts with the mark),
// and the bytes of some of its lines, each with its CR LF.
bool listFileIsUtf8(const QStringList& lines);
QByteArray encodeListLines(const QStringList& lines, qsizetype from, qsizetype to, bool utf8);
// Reads either form back (a UTF-8 byte-order mark decides), lines split at CR LF or LF.
QStringList decodeListFile(const QByteArray& bytes);

} // namespace CodePage
