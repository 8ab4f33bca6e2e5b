#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The file-name patterns of the file types: '*' stands for any run of characters, '?' for one
// character, everything else for itself, letters in either case. As the users know it from their
// file managers, "*.*" and any pattern ending in ".*" also match names without a point.
class WildcardMask
{
public:
    explicit WildcardMask(const QString& mask); // an empty mask means "*.*"
    bool matches(QStringView name) const;
    bool matchesEverything() const { return m_everything; }

private:
    QString m_mask;     // case-folded
    QString m_stemMask; // the mask without a trailing ".*", or empty
    bool m_everything = false;
};

// Collects the files below a folder as list lines "folder/name;size": the folder as given with a
// '/' appended (and every sub-folder's name with a '/' after it), the file's name, ";" and its size
// in bytes. With recurse the sub-folders come first, each searched whole before the next, in the
// order the folder lists them; then the folder's own files that match the mask, in that order.
// Hidden files and folders count like any other; sub-folders themselves never give a line.
//
// A folder reached through a symbolic link is not entered, and no folder is searched twice, so a
// link or bind mount back up the tree cannot make the search go round. A sub-folder that cannot be
// read is passed over. Throws OrdnixError naming the folder when the folder itself cannot be read.
void FindAllFiles(const QString& folder, const QString& mask, bool recurse, QStringList& lines);
