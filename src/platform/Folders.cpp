#include "platform/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

bool ensureFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (info.exists())
        return info.isDir();
    return QDir().mkpath(folder);
}

bool ensurePrivateFolder(const QString& folder)
{
    const QString path = QDir::cleanPath(folder);
    const QByteArray native = QFile::encodeName(path);
    struct stat st
    {
    };
    if (::lstat(native.constData(), &st) != 0) {
        const QFileInfo info(path);
        if (!QDir().mkpath(info.absolutePath()))
            return false;
        if (::mkdir(native.constData(), 0700) != 0)
            return false;
        if (::lstat(native.constData(), &st) != 0)
            return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    if ((st.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0)
        return false;
    return true;
}

void deleteMatchingFiles(const QString& mask, const QString& folder)
{
    QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList({mask}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (!entry.isDir() || entry.isSymLink())
            QFile::remove(entry.filePath());
    }
}

QString loginName()
{
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? QStringLiteral("user") : user;
}
