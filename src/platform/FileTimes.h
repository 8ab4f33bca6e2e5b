#pragma once

#include <QDateTime>
#include <QString>

// The three times of a file, in local time. A time the file system does not record (the birth
// time on many file systems) stays invalid; ok is false when the file could not be read at all.
struct FileTimes
{
    QDateTime created;
    QDateTime modified;
    QDateTime accessed;
    bool ok = false;
};

FileTimes readFileTimes(const QString& path);

// The size in bytes; -1 when the file cannot be reached. Never opens the file.
qint64 fileSize(const QString& path);
