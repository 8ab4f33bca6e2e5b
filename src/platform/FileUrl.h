#pragma once

#include <QList>
#include <QString>

// The mounted network shares (SMB/CIFS) of this machine: where each one is mounted, and its
// "//server/share" name. Catalogue paths on a share are stored by that name, so they stay valid
// when the share is mounted elsewhere.
class MountTable
{
public:
    struct Share
    {
        QString mountPoint; // absolute, without trailing '/'
        QString uncName;    // "//server/share", without trailing '/'
    };

    MountTable() = default;
    explicit MountTable(QList<Share> shares);

    // Reads /proc/self/mounts.
    static const MountTable& system();
    // Parses the text of a mounts file ("source target type options …" lines).
    static MountTable parse(const QByteArray& mountsText);

    // "/mnt/nas/Bilder" → "//server/share/Bilder" when it lies on a share; otherwise unchanged.
    QString toUncPath(const QString& absolutePath) const;
    // "//server/share/Bilder" → "/mnt/nas/Bilder" when that share is mounted; otherwise unchanged.
    QString fromUncPath(const QString& path) const;

private:
    QList<Share> m_shares;
};

// Mount files write blanks, tabs, newlines and backslashes as \ooo octal; this reads them back.
QByteArray unescapeMountText(const QByteArray& field);

// The catalogue's folder form: "file://" + absolute folder + "/", a folder on a network share
// written by its share name ("file:////server/share/…/").
QString folderToFileUrl(const QString& folder, const MountTable& mounts = MountTable::system());

// The file path of a catalogue folder or file URL: the text without its first seven characters,
// with a share name mapped back to where the share is mounted now.
QString fileUrlToPath(const QString& fileUrl, const MountTable& mounts = MountTable::system());
