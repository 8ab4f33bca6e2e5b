#include "platform/FileUrl.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <utility>

namespace {

QString unescapeMountField(const QByteArray& field)
{
    return QFile::decodeName(unescapeMountText(field));
}

bool startsWithFolder(const QString& path, const QString& folder)
{
    return path == folder || (path.startsWith(folder) && path.at(folder.size()) == QLatin1Char('/'));
}

} // namespace

QByteArray unescapeMountText(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return out;
}

MountTable::MountTable(QList<Share> shares)
    : m_shares(std::move(shares))
{}

MountTable MountTable::parse(const QByteArray& mountsText)
{
    QList<Share> shares;
    for (const QByteArray& line : mountsText.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3)
            continue;
        const QByteArray& type = fields[2];
        if (type != "cifs" && type != "smb3" && type != "smbfs")
            continue;
        QString source = unescapeMountField(fields[0]).replace(QLatin1Char('\\'), QLatin1Char('/'));
        while (source.endsWith(QLatin1Char('/')))
            source.chop(1);
        QString target = unescapeMountField(fields[1]);
        while (target.size() > 1 && target.endsWith(QLatin1Char('/')))
            target.chop(1);
        if (source.startsWith(QLatin1String("//")))
            shares.append({target, source});
    }
    // Deeper mount points first, so a share mounted inside another wins.
    std::sort(shares.begin(), shares.end(),
              [](const Share& a, const Share& b) { return a.mountPoint.size() > b.mountPoint.size(); });
    return MountTable(shares);
}

const MountTable& MountTable::system()
{
    static const MountTable table = [] {
        QFile file(QStringLiteral("/proc/self/mounts"));
        if (!file.open(QIODevice::ReadOnly))
            return MountTable();
        return parse(file.readAll());
    }();
    return table;
}

QString MountTable::toUncPath(const QString& absolutePath) const
{
    for (const Share& share : m_shares) {
        if (startsWithFolder(absolutePath, share.mountPoint))
            return share.uncName + absolutePath.mid(share.mountPoint.size());
    }
    return absolutePath;
}

QString MountTable::fromUncPath(const QString& path) const
{
    if (!path.startsWith(QLatin1String("//")))
        return path;
    for (const Share& share : m_shares) {
        if (startsWithFolder(path, share.uncName))
            return share.mountPoint + path.mid(share.uncName.size());
    }
    return path;
}

QString folderToFileUrl(const QString& folder, const MountTable& mounts)
{
    QString path = QDir::fromNativeSeparators(folder);
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    path = mounts.toUncPath(path);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return QLatin1String("file://") + path;
}

QString fileUrlToPath(const QString& fileUrl, const MountTable& mounts)
{
    return mounts.fromUncPath(fileUrl.mid(7));
}
