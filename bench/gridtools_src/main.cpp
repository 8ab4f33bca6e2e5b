// The grid tools benchmark program. bench/gridtools calls it:
//
//   --generate PATH [--pictures N]   makes a catalogue of N pictures (and a few media files)
//   --run PATH --work DIR            derives "Automarke" from "Dateipfad" over the whole table,
//                                    then replaces "Beschreibung" in the rows the image grid shows
//
// Before --run the catalogue must hold the lookup list it is to search and mark the rows to be
// shown with "Sonstiges1" = "bench-auswahl"; bench/gridtools does both with sqlite3. Prints
// key=value lines on standard output; failures go to standard error with exit status 1.

#include "../catalogue_src/CatalogueGenerator.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "app/commands/CommandTable.h"
#include "app/commands/EditEntryAction.h"
#include "data/DataModule.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/CatalogueModels.h"
#include "images/ImagePage.h"
#include "platform/Clock.h"
#include "platform/CommandGuard.h"
#include "platform/Context.h"
#include "platform/ShellOpener.h"

#include <QAction>
#include <QApplication>
#include <QLocale>
#include <QTableView>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using SteadyClock = std::chrono::steady_clock;

double secondsSince(SteadyClock::time_point start)
{
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// A figure with a decimal point whatever the locale.
void print(const char* key, double seconds)
{
    std::printf("%s=%s\n", key, QByteArray::number(seconds, 'f', 3).constData());
}

class StderrReporter final : public ErrorReporter
{
public:
    void showError(const QString& message) override
    {
        std::fprintf(stderr, "error: %s\n", qPrintable(message));
        ++errors;
    }
    int errors = 0;
};

int run(int argc, char* argv[], const QString& database, const QString& work)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QtDialogs dialogs;
    DesktopShellOpener shell;
    SystemClock clock;
    StderrReporter reporter;
    AppContext context;
    context.paths = Paths::inside(work);
    context.paths.database = database;
    context.paths.databaseGiven = true;
    context.dialogs = &dialogs;
    context.shell = &shell;
    context.clock = &clock;
    CommandGuard::setReporter(&reporter);

    DataModule data(database);
    data.DataModuleCreate();
    MainWindow window(&data, &context);
    window.showMaximized();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();

    // The whole table, as the menu command "Automarke aus Datei&pfad ableiten" does it.
    auto start = SteadyClock::now();
    window.commands()->action(QStringLiteral("Aut1"))->trigger();
    QCoreApplication::processEvents();
    print("derive_s", secondsSince(start));
    std::printf("derive_rows=%d\ntypen_entries=%d\n", data.MSBild->recordCount(), data.MSTypen->recordCount());

    // The grid filtered to the marked rows, then the context menu's edit entry confirmed.
    CatalogueGrid* grid = window.imagePage->cxGrid1;
    grid->proxy()->setFilter(grid->column(QStringLiteral("Sonstiges1"))->position(), QStringLiteral("bench-auswahl"));
    QCoreApplication::processEvents();
    const int shown = int(grid->visibleRows().size());
    start = SteadyClock::now();
    window.commands()->editEntry(QStringLiteral("dxBarEdit3"))->confirmText(QStringLiteral("Neu ersetzt"));
    QCoreApplication::processEvents();
    grid->view()->viewport()->repaint();
    print("replace_s", secondsSince(start));
    std::printf("replace_rows=%d\n", shown);
    std::fflush(stdout);

    window.close();
    data.DataModuleDestroy();
    CommandGuard::setReporter(nullptr);
    return reporter.errors ? 1 : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QString mode, path, work;
    int pictures = 100000;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if ((arg == "--generate" || arg == "--run") && hasValue) {
            mode = QString::fromStdString(arg.substr(2));
            path = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--work" && hasValue) {
            work = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--pictures" && hasValue) {
            pictures = std::atoi(argv[++i]);
        }
    }
    if (mode == u"generate") {
        QCoreApplication app(argc, argv);
        CatalogueGenerator::makeCatalogue(path, pictures, 1000);
        return 0;
    }
    if (mode == u"run" && !work.isEmpty())
        return run(argc, argv, path, work);
    std::fprintf(stderr, "usage: bench_gridtools --generate PATH [--pictures N] | --run PATH --work DIR\n");
    return 2;
}
