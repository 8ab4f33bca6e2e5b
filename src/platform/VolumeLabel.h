#pragma once

#include <QByteArray>
#include <QString>

// The label of the file system that holds a file or folder: for a CD or DVD its volume name, for
// a disk partition the name given to it. Empty when the file system has no label (network shares,
// memory file systems) or the file cannot be reached.
QString volumeLabel(const QString& path);

// The same, with the mount table (the text of /proc/self/mountinfo) and the folder of label links
// (/dev/disk/by-label) given.
QString volumeLabel(const QString& path, const QByteArray& mountInfo, const QString& labelFolder);
