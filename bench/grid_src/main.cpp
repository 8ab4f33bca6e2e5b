// The grid benchmark program. bench/grid calls it:
//
//   --generate PATH [--pictures N]           makes a catalogue of N pictures (and a few media files)
//   --run PATH --work DIR [--rounds N]       groups, sorts, filters and scrolls the image grid
//
// It prints key=value lines on standard output: medians over the rounds, in milliseconds, and
// the peak memory. Failures go to standard error with exit status 1.

#include "../catalogue_src/CatalogueGenerator.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "data/DataModule.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/CatalogueModels.h"
#include "gridtools/GridWidgets.h"
#include "images/ImagePage.h"
#include "platform/Clock.h"
#include "platform/CommandGuard.h"
#include "platform/Context.h"
#include "platform/ShellOpener.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

using SteadyClock = std::chrono::steady_clock;

double msSince(SteadyClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

double peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void print(const char* key, double value)
{
    std::printf("%s=%s\n", key, QByteArray::number(value, 'f', value >= 100 ? 0 : 1).constData());
    std::fflush(stdout);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
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

// The grid as the user sees it: the model change, then the repaint of what is on screen.
double timed(CatalogueGrid* grid, const std::function<void()>& step)
{
    const auto start = SteadyClock::now();
    step();
    QCoreApplication::processEvents();
    grid->view()->viewport()->repaint();
    return msSince(start);
}

int run(int argc, char* argv[], const QString& database, const QString& work, int rounds)
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
    CatalogueGrid* grid = window.imagePage->cxGrid1;
    const int rows = data.MSBild->recordCount();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();

    std::map<std::string, std::vector<double>> samples;
    const QString typed = QStringLiteral("Felge");
    for (int round = 0; round < rounds; ++round) {
        // Back to the design: no groups, no filter, the design sort.
        grid->setGroupKeys({});
        grid->setFilterText(QStringLiteral("Dateiname"), {});
        grid->setSortKeys(grid->definition().sort);
        QCoreApplication::processEvents();

        samples["group_ms"].push_back(timed(grid, [&] { grid->groupBy(QStringLiteral("Dateipfad")); }));
        samples["sort_ms"].push_back(timed(grid, [&] {
            // A click on the header of "Dateiname".
            emit grid->header()->sectionClicked(grid->column(QStringLiteral("Dateiname"))->position());
        }));
        // Typing into the filter row, one key after the other: the slowest key counts.
        QLineEdit* filter = grid->header()->editor(grid->column(QStringLiteral("Dateiname"))->position());
        double slowest = 0;
        double word = 0;
        for (int i = 1; i <= typed.size(); ++i) {
            const double ms = timed(grid, [&] { filter->setText(typed.left(i)); });
            slowest = std::max(slowest, ms);
            word += ms;
        }
        samples["filter_ms"].push_back(slowest);
        samples["filter_word_ms"].push_back(word);
        samples["filtered_rows"].push_back(grid->proxy()->filteredCount());
        // Clearing the filter brings every row back.
        samples["unfilter_ms"].push_back(timed(grid, [&] { filter->clear(); }));
        samples["expand_ms"].push_back(timed(grid, [&] { grid->setAllExpanded(true); }));
        samples["scroll_ms"].push_back(timed(grid, [&] { grid->view()->scrollToBottom(); }));
        samples["shown_rows"].push_back(grid->view()->model()->rowCount());
        samples["collapse_ms"].push_back(timed(grid, [&] { grid->setAllExpanded(false); }));
        samples["ungroup_ms"].push_back(timed(grid, [&] { grid->ungroup(QStringLiteral("Dateipfad")); }));
        // Ungrouped, sorted by name: to the end and back.
        samples["scroll_flat_ms"].push_back(timed(grid, [&] { grid->view()->scrollToBottom(); }));
        // One record edited in place moves to its new sort position.
        samples["edit_ms"].push_back(timed(grid, [&] {
            TableObject* t = data.MSBild;
            t->moveTo(round * 7 % rows);
            t->setValue(QStringLiteral("Dateiname"), QStringLiteral("Zz %1.jpg").arg(round));
            t->post();
        }));
    }
    std::fprintf(stderr, "bench_grid: %d rows, %d rounds\n", rows, rounds);
    for (const char* key :
         {"group_ms", "sort_ms", "filter_ms", "filter_word_ms", "unfilter_ms", "expand_ms", "scroll_ms", "collapse_ms",
          "ungroup_ms", "scroll_flat_ms", "edit_ms", "filtered_rows", "shown_rows"})
        print(key, median(samples[key]));
    print("grid_rows", rows);
    print("peak_rss_mb", peakRssMb());
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
    int rounds = 5;
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
        } else if (arg == "--rounds" && hasValue) {
            rounds = std::max(1, std::atoi(argv[++i]));
        }
    }
    if (mode == u"generate") {
        QCoreApplication app(argc, argv);
        CatalogueGenerator::makeCatalogue(path, pictures, 1000);
        return 0;
    }
    if (mode == u"run" && !work.isEmpty())
        return run(argc, argv, path, work, rounds);
    std::fprintf(stderr, "usage: bench_grid --generate PATH [--pictures N] | --run PATH --work DIR [--rounds N]\n");
    return 2;
}
