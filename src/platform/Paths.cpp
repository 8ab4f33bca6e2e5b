#include "platform/Paths.h"

#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString Paths::defaultDatabase()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1String("/media.db");
}

QString Paths::findHelpPage()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString candidates[] = {
        appDir + QLatin1String("/mediahelp.htm"),
        appDir + QLatin1String("/../share/ordnix/mediahelp.htm"),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).canonicalFilePath();
    }
    return QDir::cleanPath(candidates[1]);
}

Paths Paths::standard(const QString& databaseOverride)
{
    Paths paths;
    paths.databaseGiven = !databaseOverride.isEmpty();
    paths.database = paths.databaseGiven ? QFileInfo(databaseOverride).absoluteFilePath() : defaultDatabase();
    paths.tempFolder = QDir::tempPath() + QLatin1String("/ordnix-") + loginName() + QLatin1Char('/');
    paths.configFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    paths.helpPage = findHelpPage();
    return paths;
}

Paths Paths::inside(const QString& folder)
{
    Paths paths;
    paths.database = folder + QLatin1String("/media.db");
    paths.tempFolder = folder + QLatin1String("/temp/");
    paths.configFolder = folder + QLatin1String("/config");
    paths.helpPage = folder + QLatin1String("/mediahelp.htm");
    return paths;
}
