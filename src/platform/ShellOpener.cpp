#include "platform/ShellOpener.h"

#include "platform/FileUrl.h"

#include <QDesktopServices>
#include <QUrl>

void DesktopShellOpener::open(const QString& target)
{
    // A catalogue's file URL is "file://" and a path taken literally ('#', '?' and '%' belong to
    // the name), a share by its share name; web addresses go as they are; a bare path is a file.
    const QUrl url = target.startsWith(QLatin1String("file://")) ? QUrl::fromLocalFile(fileUrlToPath(target))
                     : target.contains(QLatin1String("://"))     ? QUrl(target, QUrl::TolerantMode)
                                                                 : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
}
