#include "platform/FileTimes.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QDateTime fromTimestamp(const struct statx_timestamp& t)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000).toLocalTime();
}

FileTimes readAt(int folder, const QString& path)
{
    FileTimes times;
    const QByteArray native = QFile::encodeName(path);
    struct statx st
    {
    };
    if (::statx(folder, native.constData(), 0, STATX_BASIC_STATS | STATX_BTIME, &st) != 0)
        return times;
    times.ok = true;
    if (st.stx_mask & STATX_BTIME)
        times.created = fromTimestamp(st.stx_btime);
    if (st.stx_mask & STATX_MTIME)
        times.modified = fromTimestamp(st.stx_mtime);
    if (st.stx_mask & STATX_ATIME)
        times.accessed = fromTimestamp(st.stx_atime);
    return times;
}

} // namespace

FileTimes readFileTimes(const QString& path)
{
    return readAt(AT_FDCWD, path);
}

FolderFileTimes::~FolderFileTimes()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FileTimes FolderFileTimes::read(const QString& folder, const QString& name)
{
    if (folder != m_folder || m_fd < 0) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_folder = folder;
        m_fd = ::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    if (m_fd < 0 || name.contains(QLatin1Char('/')))
        return readFileTimes(folder + name);
    return readAt(m_fd, name);
}

qint64 fileSize(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st
    {
    };
    if (::stat(native.constData(), &st) != 0)
        return -1;
    return qint64(st.st_size);
}
