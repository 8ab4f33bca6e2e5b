// The grid benchmark program. bench/grid calls it:
//
//   --generate PATH [--pictures N]           makes a catalogue of N pictures in camera folders
//   --run PATH --work DIR [--rounds N]       groups, sorts, filters and scrolls the image grid
//
// It prints key=value lines on standard output: medians over the rounds, in milliseconds, and
// the peak memory. Failures go to standard error with exit status 1.

#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/CatalogueModels.h"
#include "gridtools/GridWidgets.h"
#include "images/ImagePage.h"
#include "platform/Clock.h"
#include "platform/CommandGuard.h"
#include "platform/Context.h"
#include "platform/FileUrl.h"
#include "platform/ShellOpener.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QRandomGenerator>
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

// Folders of camera imports with the names cameras give, some classification on most rows.
int generate(const QString& path, int pictures)
{
    QFile::remove(path);
    Catalogue::create(path);
    DataModule data(path);
    data.DataModuleCreate();
    TableObject* t = data.MSBild;
    QRandomGenerator random(4711);
    const QStringList makes = {QStringLiteral("Audi"),       QStringLiteral("BMW"),          QStringLiteral("Škoda"),
                               QStringLiteral("Opel"),       QStringLiteral("Porsche"),      QStringLiteral("VW"),
                               QStringLiteral("Ärztewagen"), QStringLiteral("Mercedes-Benz")};
    const QStringList parts = {QStringLiteral("Felge"),        QStringLiteral("Spoiler"), QStringLiteral("Rückleuchte"),
                               QStringLiteral("Außenspiegel"), QStringLiteral("Lenkrad"), QStringLiteral("Sitz")};
    const QStringList fineCoarse = {QStringLiteral("Feindaten"), QStringLiteral("Grobdaten")};
    int folder = 0;
    int inFolder = 0;
    int folderSize = 0;
    QString make;
    for (int i = 0; i < pictures; ++i) {
        if (inFolder == folderSize) {
            ++folder;
            inFolder = 0;
            folderSize = 5 + int(random.bounded(60));
            make = makes[int(random.bounded(makes.size()))];
        }
        const QString dir = QStringLiteral("/home/anna/Bilder/%1/%2_%3/").arg(make).arg(2000 + folder % 25).arg(folder);
        const QString name = random.bounded(3) == 0
                                 ? QStringLiteral("%1 %2.jpg").arg(parts[int(random.bounded(parts.size()))]).arg(i)
                                 : QStringLiteral("IMG_%1.JPG").arg(i % 10000, 4, 10, QLatin1Char('0'));
        t->append();
        t->setValue(QStringLiteral("Dateipfad"), folderToFileUrl(dir));
        t->setValue(QStringLiteral("Dateiname"), name);
        t->setValue(QStringLiteral("Dateityp"), QStringLiteral("jpg"));
        t->setValue(QStringLiteral("Automarke"), make);
        t->setValue(QStringLiteral("FeinGrobDaten"), fineCoarse[int(random.bounded(2))]);
        t->setValue(QStringLiteral("Groesse"), double(100000 + random.bounded(5000000)));
        t->post();
        ++inFolder;
    }
    data.DataModuleDestroy();
    return 0;
}

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
        return generate(path, pictures);
    }
    if (mode == u"run" && !work.isEmpty())
        return run(argc, argv, path, work, rounds);
    std::fprintf(stderr, "usage: bench_grid --generate PATH [--pictures N] | --run PATH --work DIR [--rounds N]\n");
    return 2;
}
