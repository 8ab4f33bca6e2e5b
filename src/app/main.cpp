#include "app/ApplicationSetup.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "platform/Context.h"
#include "platform/OrdnixError.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QMessageBox>

namespace {

int fail(const QString& message)
{
    QMessageBox::critical(nullptr, QStringLiteral("Ordnix"), message);
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Katalog für Bilder, CDs/DVDs und Mediendateien"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption databaseOption(
        QStringLiteral("database"), QStringLiteral("Öffnet den Katalog in der Datei <PFAD>."), QStringLiteral("PFAD"));
    parser.addOption(databaseOption);
    parser.process(app);

    AppContext context;
    context.paths = Paths::standard(parser.value(databaseOption));
    QtDialogs dialogs;
    DesktopShellOpener shell;
    SystemClock clock;
    CdromDriveDoor driveDoor;
    context.dialogs = &dialogs;
    context.shell = &shell;
    context.clock = &clock;
    context.driveDoor = &driveDoor;
    CommandGuard::setReporter(&dialogs);

    DataModule data(context.paths.database);
    try {
        // The standard catalogue is made on the first start; one named on the command line must exist.
        if (!context.paths.databaseGiven && !QFileInfo::exists(context.paths.database))
            Catalogue::create(context.paths.database);
        data.DataModuleCreate();
    } catch (const OrdnixError& error) {
        return fail(error.message());
    }

    MainWindow window(&data, &context);
    dialogs.setParent(&window);
    window.showMaximized();
    const int result = app.exec();
    CommandGuard::run([&] { data.DataModuleDestroy(); });
    CommandGuard::setReporter(nullptr);
    return result;
}
