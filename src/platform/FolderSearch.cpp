#include "platform/FolderSearch.h"

#include "platform/OrdnixError.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Case-folded wildcard match, backtracking to the last '*' only: linear for the usual patterns.
bool wildcardMatch(QStringView name, QStringView mask)
{
    qsizetype n = 0, m = 0;
    qsizetype starMask = -1, starName = 0;
    while (n < name.size()) {
        if (m < mask.size()) {
            const QChar c = mask[m];
            if (c == QLatin1Char('*')) {
                starMask = m++;
                starName = n;
                continue;
            }
            if (c == QLatin1Char('?') || c == name[n].toCaseFolded()) {
                ++m;
                ++n;
                continue;
            }
        }
        if (starMask < 0)
            return false;
        m = starMask + 1;
        n = ++starName;
    }
    while (m < mask.size() && mask[m] == QLatin1Char('*'))
        ++m;
    return m == mask.size();
}

struct Found
{
    QString name;
    qint64 size;
};

class Walker
{
public:
    Walker(const WildcardMask& mask, bool recurse, QStringList& lines)
        : m_mask(mask)
        , m_recurse(recurse)
        , m_lines(lines)
    {}

    // Returns false when the folder could not be opened or read.
    bool walk(const QByteArray& native, const QString& folder, bool top)
    {
        // Below the chosen folder only real folders are entered, never a link swapped in meanwhile.
        const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (top ? 0 : O_NOFOLLOW));
        if (fd < 0)
            return false;
        struct stat st
        {
        };
        if (::fstat(fd, &st) != 0 || !m_visited.insert({st.st_dev, st.st_ino}).second) {
            ::close(fd);
            return !top;
        }
        DIR* dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            return false;
        }
        std::vector<QByteArray> subFolders;
        std::vector<Found> files;
        errno = 0;
        while (const dirent* entry = ::readdir(dir)) {
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            unsigned char type = entry->d_type;
            struct stat info
            {
            };
            bool haveInfo = false;
            if (type == DT_UNKNOWN) {
                if (::fstatat(::dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                haveInfo = true;
                type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
            }
            if (type == DT_DIR) {
                if (m_recurse)
                    subFolders.emplace_back(name);
                continue;
            }
            const QString fileName = QFile::decodeName(name);
            if (!m_everything && !m_mask.matches(fileName))
                continue;
            if (type == DT_LNK) {
                // A link to a folder is a folder, never a file line; a dangling link is a file.
                struct stat target
                {
                };
                if (::fstatat(::dirfd(dir), name, &target, 0) == 0) {
                    if (S_ISDIR(target.st_mode))
                        continue;
                    info = target;
                    haveInfo = true;
                } else {
                    haveInfo = false;
                }
            }
            if (!haveInfo && ::fstatat(::dirfd(dir), name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            files.push_back({fileName, qint64(info.st_size)});
        }
        ::closedir(dir);

        for (const QByteArray& sub : subFolders)
            walk(native + sub + '/', folder + QFile::decodeName(sub) + QLatin1Char('/'), false);
        for (const Found& file : files)
            m_lines.append(folder + file.name + QLatin1Char(';') + QString::number(file.size));
        return true;
    }

private:
    const WildcardMask& m_mask;
    const bool m_everything = m_mask.matchesEverything();
    const bool m_recurse;
    QStringList& m_lines;
    std::set<std::pair<dev_t, ino_t>> m_visited;
};

} // namespace

WildcardMask::WildcardMask(const QString& mask)
    : m_mask(mask.isEmpty() ? QStringLiteral("*.*") : mask.toCaseFolded())
{
    if (m_mask.endsWith(QLatin1String(".*")))
        m_stemMask = m_mask.chopped(2);
    m_everything = m_mask == QLatin1String("*") || m_stemMask == QLatin1String("*");
}

bool WildcardMask::matches(QStringView name) const
{
    if (m_everything)
        return true;
    if (wildcardMatch(name, m_mask))
        return true;
    return !m_stemMask.isEmpty() && !name.contains(QLatin1Char('.')) && wildcardMatch(name, m_stemMask);
}

void FindAllFiles(const QString& folder, const QString& mask, bool recurse, QStringList& lines)
{
    QString start = folder;
    if (!start.endsWith(QLatin1Char('/')))
        start += QLatin1Char('/');
    const WildcardMask wildcard(mask);
    Walker walker(wildcard, recurse, lines);
    if (!walker.walk(QFile::encodeName(start), start, true)) {
        const int error = errno;
        throw OrdnixError(QStringLiteral("Der Ordner „%1“ kann nicht gelesen werden: %2")
                              .arg(folder, QString::fromLocal8Bit(std::strerror(error))));
    }
}
