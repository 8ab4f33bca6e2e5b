#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

// The list both folder scans work from: one line per file found, "full name;size", sorted, kept
// in the list file "media.txt" of the temporary folder between the search and the record steps.
namespace MediaList {

inline QString fileName()
{
    return QStringLiteral("media.txt");
}
// Every scan clears the list files of earlier scans first.
inline QString clearMask()
{
    return QStringLiteral("media*.txt");
}

// The lines of every file below the folder whose name matches the mask, sorted.
QStringList collect(const QString& folder, const QString& mask);

// Ascending, letters in either case alike, by the user's collation.
void sort(QStringList& lines);

// The list file's bytes: CR LF after every line, windows-1252 or, for a name that needs it, UTF-8
// behind a byte-order mark. A name may hold a line break here; CR, LF and the backslash inside a
// line are written as \r, \n and \\, so every line stays one line (a backslash cannot occur in a
// name on the platform the format comes from, so its lines are unchanged).
QByteArray encode(const QStringList& lines);
QStringList decode(const QByteArray& bytes);

// Throw OrdnixError naming the file when it cannot be written or read.
void write(const QString& path, const QStringList& lines);
QStringList read(const QString& path);

// One line taken apart at its last ';' (a name may contain ';' itself).
struct Line
{
    QString fullName;
    qint64 size = 0;
};
Line split(const QString& line);

} // namespace MediaList

// Where a listed file goes in the catalogue: its folder in the file-URL form, its name and type.
struct FilePlace
{
    QString Dateipfad; // "file://" + absolute folder + "/", a network share by its share name
    QString name;      // the name with its extension
    QString type;      // the extension without its point, lower case, at most 4 characters
    QString path;      // where the file is read: the Dateipfad as a path, plus the name
    QString folder;    // the folder part of path, ending with '/'
};

// Builds file places, remembering the last folder: a sorted list comes folder by folder.
class FilePlaces
{
public:
    FilePlace of(const QString& fullName);

private:
    QString m_folder;
    QString m_url;
    QString m_path;
    QSet<QString> m_types; // one copy of each type text for a whole list
};
