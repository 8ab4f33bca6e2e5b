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

// Reads the times of many files that come folder by folder: each folder is looked up once, and
// then only the name inside it.
class FolderFileTimes
{
public:
    FolderFileTimes() = default;
    FolderFileTimes(const FolderFileTimes&) = delete;
    FolderFileTimes& operator=(const FolderFileTimes&) = delete;
    ~FolderFileTimes();

    FileTimes read(const QString& folder, const QString& name); // folder ends with '/'

private:
    QString m_folder;
    int m_fd = -1;
};

// The size in bytes; -1 when the file cannot be reached. Never opens the file.
qint64 fileSize(const QString& path);
