#pragma once

#include "platform/FileUrl.h"

#include <QString>

#include <algorithm>
#include <functional>

class TableObject;

// "Bildauflösung berechnen": gives every picture record, in table order, the pixel size of its
// picture in Aufloesung (" %d x %d"). Only the pictures' headers are read, a few records ahead
// on worker threads; the records are posted here, in order. A picture that cannot be read ends
// the run with an OrdnixError naming the file: the records before it keep their new
// resolution, that record is the current one, and it and the ones after it are unchanged.
class ResolutionRun
{
public:
    struct Hooks
    {
        std::function<void(int percent)> progress; // before each record: i * 100 div n
    };

    explicit ResolutionRun(TableObject* bild, Hooks hooks = {}, const MountTable& mounts = MountTable::system());

    void setThreadCount(int threads) { m_threads = std::max(1, threads); }

    void run();

    // The picture of the last record measured; empty before the first.
    const QString& lastPicture() const { return m_lastPicture; }

private:
    TableObject* m_bild;
    Hooks m_hooks;
    const MountTable& m_mounts;
    int m_threads;
    QString m_lastPicture;
};
