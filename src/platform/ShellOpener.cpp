#include "platform/ShellOpener.h"

#include <QDesktopServices>
#include <QUrl>

void DesktopShellOpener::open(const QString& target)
{
    // Web addresses and file URLs go as they are; a bare path becomes a local file URL.
    const QUrl url = target.contains(QLatin1String("://")) ? QUrl(target, QUrl::TolerantMode)
                                                          : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
}
