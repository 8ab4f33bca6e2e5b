#include "platform/VolumeLabel.h"

#include "platform/FileUrl.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

struct Mount
{
    QString fileSystem;
    QString source;
};

// The mount that a device number belongs to; the last one wins, as later mounts cover earlier.
bool findMount(const QByteArray& mountInfo, dev_t device, Mount* mount)
{
    bool found = false;
    for (const QByteArray& line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        // The optional fields end with a lone "-" (after the sixth field, so a mount point "-" is no end).
        const qsizetype dash = fields.indexOf("-", 6);
        if (fields.size() < 5 || dash < 0 || dash + 2 >= fields.size())
            continue;
        const QList<QByteArray> numbers = fields[2].split(':');
        if (numbers.size() != 2)
            continue;
        if (makedev(numbers[0].toUInt(), numbers[1].toUInt()) != device)
            continue;
        mount->fileSystem = QString::fromLatin1(fields[dash + 1]);
        mount->source = QFile::decodeName(unescapeMountText(fields[dash + 2]));
        found = true;
    }
    return found;
}

// udev names the label links with unsafe bytes written as \xHH.
QString decodeLabelLink(const QString& name)
{
    const QByteArray raw = QFile::encodeName(name);
    QByteArray out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 3 < raw.size() && raw[i + 1] == 'x') {
            bool ok = false;
            const int value = raw.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(value));
                i += 3;
                continue;
            }
        }
        out.append(raw[i]);
    }
    return QString::fromUtf8(out);
}

QString labelFromLinks(const QString& device, const QString& labelFolder)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return {};
    const QDir folder(labelFolder);
    for (const QFileInfo& link : folder.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (link.canonicalFilePath() == target)
            return decodeLabelLink(link.fileName());
    }
    return {};
}

// The volume name of an ISO 9660 disc, from its primary volume descriptor (sector 16).
QString labelFromIso9660(const QString& device)
{
    QFile file(device);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !file.seek(16 * 2048))
        return {};
    const QByteArray sector = file.read(2048);
    if (sector.size() < 72 || sector[0] != 1 || sector.mid(1, 5) != "CD001")
        return {};
    return QString::fromLatin1(sector.mid(40, 32)).trimmed();
}

} // namespace

QString volumeLabel(const QString& path, const QByteArray& mountInfo, const QString& labelFolder)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    Mount mount;
    if (!findMount(mountInfo, st.st_dev, &mount) || !mount.source.startsWith(QLatin1Char('/')))
        return {};
    const QString label = labelFromLinks(mount.source, labelFolder);
    if (!label.isEmpty() || mount.fileSystem != QLatin1String("iso9660"))
        return label;
    return labelFromIso9660(mount.source);
}

QString volumeLabel(const QString& path)
{
    QFile mounts(QStringLiteral("/proc/self/mountinfo"));
    if (!mounts.open(QIODevice::ReadOnly))
        return {};
    return volumeLabel(path, mounts.readAll(), QStringLiteral("/dev/disk/by-label"));
}
