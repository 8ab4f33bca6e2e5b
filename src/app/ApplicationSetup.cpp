#include "app/ApplicationSetup.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setUpApplication(QApplication& app)
{
    QApplication::setOrganizationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationName(QStringLiteral("Ordnix"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ordnix"));
    QApplication::setApplicationVersion(QStringLiteral(ORDNIX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("ordnix"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_de", "qt_de"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QLatin1String(name), folder))
            app.installTranslator(translator);
        else
            delete translator;
    }
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("ordnix"), QIcon(QStringLiteral(":/ordnix-256.png"))));
}
