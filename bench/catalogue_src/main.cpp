// The catalogue benchmark program. bench/catalogue calls it once per mode and round:
//
//   --generate PATH [--pictures N] [--media N]   makes a catalogue of realistic contents
//   --start PATH --work DIR [--t0 EPOCHSECONDS]  what main() does, until the image grid is on screen
//   --load PATH                                  the data module opening the catalogue, nothing else
//   --locate PATH [--count N]                    locates by folder and name of existing pictures
//   --post PATH [--count N]                      appends pictures to the catalogue (give it a copy)
//   --window PATH --work DIR [--locates N] [--posts N]
//                                                locates and posts while the main window shows
//
// Each mode prints key=value lines on standard output; failures go to standard error with exit
// status 1.

#include "CatalogueGenerator.h"

#include "app/ApplicationSetup.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "data/DataModule.h"
#include "gridtools/CatalogueGrid.h"
#include "images/ImagePage.h"
#include "platform/Clock.h"
#include "platform/CommandGuard.h"
#include "platform/Context.h"
#include "platform/OrdnixError.h"
#include "platform/ShellOpener.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QTableView>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>

#include <sys/resource.h>

namespace {

using Clock_ = std::chrono::steady_clock;

double secondsSince(Clock_::time_point start)
{
    return std::chrono::duration<double>(Clock_::now() - start).count();
}

double wallNow()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// Independent of the C locale, which QApplication sets from the environment (a German one
// writes decimal commas).
void print(const char* key, double value)
{
    const QByteArray text = value >= 1000 ? QByteArray::number(value, 'f', 0) : QByteArray::number(value, 'g', 4);
    std::printf("%s=%s\n", key, text.constData());
    std::fflush(stdout);
}

// Failures of commands during a measurement end the run instead of waiting in a dialog.
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

struct Options
{
    std::string mode;
    QString path;
    QString work;
    double t0 = 0;
    int count = 0;
    int pictures = 100000;
    int media = 100000;
    int locates = 2000;
    int posts = 500;
};

Options parse(int argc, char* argv[])
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        auto take = [&]() -> const char* {
            if (!next) {
                std::fprintf(stderr, "%s needs a value\n", arg.c_str());
                std::exit(2);
            }
            ++i;
            return next;
        };
        if (arg == "--generate" || arg == "--start" || arg == "--load" || arg == "--locate" || arg == "--post" ||
            arg == "--window") {
            o.mode = arg.substr(2);
            o.path = QString::fromLocal8Bit(take());
        } else if (arg == "--work") {
            o.work = QString::fromLocal8Bit(take());
        } else if (arg == "--t0") {
            // Bash writes $EPOCHREALTIME with the locale's decimal separator.
            std::string text = take();
            std::replace(text.begin(), text.end(), ',', '.');
            o.t0 = std::strtod(text.c_str(), nullptr);
        } else if (arg == "--count") {
            o.count = std::atoi(take());
        } else if (arg == "--pictures") {
            o.pictures = std::atoi(take());
        } else if (arg == "--media") {
            o.media = std::atoi(take());
        } else if (arg == "--locates") {
            o.locates = std::atoi(take());
        } else if (arg == "--posts") {
            o.posts = std::atoi(take());
        }
        // Anything else is left to QApplication (-platform and the like).
    }
    return o;
}

// The real seams of main(), with places on disk inside the benchmark's work folder.
struct Environment
{
    QtDialogs dialogs;
    DesktopShellOpener shell;
    SystemClock clock;
    StderrReporter reporter;
    AppContext context;

    Environment(const QString& database, const QString& work)
    {
        context.paths = Paths::inside(work);
        context.paths.database = database;
        context.paths.databaseGiven = true;
        context.paths.helpPage = Paths::findHelpPage();
        context.dialogs = &dialogs;
        context.shell = &shell;
        context.clock = &clock;
        CommandGuard::setReporter(&reporter);
    }
    ~Environment() { CommandGuard::setReporter(nullptr); }
};

// Runs the event loop until the grid's viewport has painted rows and the window is exposed.
bool waitUntilPainted(MainWindow& window, CatalogueGrid* grid, int expectedRows)
{
    QEventLoop loop;
    bool done = false;
    struct Watcher : QObject
    {
        std::function<void()> painted;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                painted();
            return QObject::eventFilter(watched, event);
        }
    } watcher;
    watcher.painted = [&] {
        if (done || !window.windowHandle() || !window.windowHandle()->isExposed())
            return;
        if (grid->view()->model()->rowCount() != expectedRows)
            return;
        done = true;
        // Queued, so that the paint under way finishes before the clock stops.
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
    };
    grid->view()->viewport()->installEventFilter(&watcher);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    grid->view()->viewport()->removeEventFilter(&watcher);
    return done;
}

int runStart(int argc, char* argv[], const Options& o)
{
    const double mainEntered = wallNow();
    QApplication app(argc, argv);
    setUpApplication(app);
    Environment env(o.path, o.work);

    const auto loadStart = Clock_::now();
    DataModule data(env.context.paths.database);
    data.DataModuleCreate();
    const double load = secondsSince(loadStart);

    const auto windowStart = Clock_::now();
    MainWindow window(&data, &env.context);
    env.dialogs.setParent(&window);
    const double build = secondsSince(windowStart);

    const auto showStart = Clock_::now();
    window.showMaximized();
    if (!waitUntilPainted(window, window.imagePage->cxGrid1, data.MSBild->recordCount())) {
        std::fprintf(stderr, "the image grid was not shown within two minutes\n");
        return 1;
    }
    const double show = secondsSince(showStart);
    const double end = wallNow();

    if (o.t0 > 0) {
        print("start_s", end - o.t0);
        print("start_exec_s", mainEntered - o.t0); // process creation, loading libraries
    }
    print("start_in_main_s", end - mainEntered);
    print("start_load_s", load);
    print("start_window_s", build);
    print("start_show_s", show);
    print("peak_rss_mb", peakRssMb());
    print("grid_rows", window.imagePage->cxGrid1->view()->model()->rowCount());
    window.close();
    data.DataModuleDestroy();
    return env.reporter.errors ? 1 : 0;
}

int runGenerate(const Options& o)
{
    const auto start = Clock_::now();
    CatalogueGenerator::makeCatalogue(o.path, o.pictures, o.media);
    print("generate_s", secondsSince(start));
    return 0;
}

int runLoad(const Options& o)
{
    const auto start = Clock_::now();
    DataModule data(o.path);
    data.DataModuleCreate();
    print("load_s", secondsSince(start));
    print("load_rss_mb", peakRssMb());
    print("load_rows", data.MSBild->recordCount());
    return 0;
}

// Keys of existing pictures in random order, as an import run checking what is catalogued yet.
QList<QVariantList> randomKeys(TableObject* table, int count)
{
    const int path = table->fieldIndex(QStringLiteral("Dateipfad"));
    const int name = table->fieldIndex(QStringLiteral("Dateiname"));
    QRandomGenerator random(42);
    QList<QVariantList> keys;
    keys.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int row = int(random.bounded(quint32(table->recordCount())));
        keys.append({table->valueAt(row, path), table->valueAt(row, name)});
    }
    return keys;
}

double locateRate(TableObject* table, const QList<QVariantList>& keys)
{
    const QString fields = QStringLiteral("Dateipfad;Dateiname");
    const auto start = Clock_::now();
    for (const QVariantList& key : keys) {
        if (!table->locate(fields, key))
            throw OrdnixError(QStringLiteral("Locate found no row for %1%2").arg(key[0].toString(), key[1].toString()));
    }
    return double(keys.size()) / secondsSince(start);
}

int runLocate(const Options& o)
{
    DataModule data(o.path);
    data.DataModuleCreate();
    TableObject* t = data.MSBild;
    const QList<QVariantList> keys = randomKeys(t, o.count > 0 ? o.count : 200000);
    // The first locate on a field list builds the table's index.
    const auto first = Clock_::now();
    t->locate(QStringLiteral("Dateipfad;Dateiname"), keys.first());
    print("locate_first_s", secondsSince(first));
    print("locate_per_s", locateRate(t, keys));
    // Keys that are not there: the common case when importing new pictures.
    QList<QVariantList> missing = keys.mid(0, std::min<qsizetype>(keys.size(), 50000));
    for (QVariantList& key : missing)
        key[1] = QString(QLatin1String("neu_") + key[1].toString());
    const auto start = Clock_::now();
    int found = 0;
    for (const QVariantList& key : std::as_const(missing))
        found += t->locate(QStringLiteral("Dateipfad;Dateiname"), key) ? 1 : 0;
    if (found)
        throw OrdnixError(QStringLiteral("Locate found rows that are not there."));
    print("locate_missing_per_s", double(missing.size()) / secondsSince(start));
    return 0;
}

double postRate(TableObject* table, const QList<CatalogueGenerator::Picture>& list)
{
    const auto start = Clock_::now();
    for (const CatalogueGenerator::Picture& p : list)
        CatalogueGenerator::appendPicture(table, p);
    return double(list.size()) / secondsSince(start);
}

int runPost(const Options& o)
{
    DataModule data(o.path);
    data.DataModuleCreate();
    TableObject* t = data.MSBild;
    const int before = t->recordCount();
    CatalogueGenerator generator(815);
    const auto list = generator.pictures(o.count > 0 ? o.count : 20000, QStringLiteral("/home/anna/Neu"));
    print("post_per_s", postRate(t, list));
    if (t->recordCount() != before + list.size())
        throw OrdnixError(QStringLiteral("Not every posted row arrived."));
    data.DataModuleDestroy();
    return 0;
}

int runWindow(int argc, char* argv[], const Options& o)
{
    QApplication app(argc, argv);
    setUpApplication(app);
    Environment env(o.path, o.work);
    DataModule data(env.context.paths.database);
    data.DataModuleCreate();
    MainWindow window(&data, &env.context);
    env.dialogs.setParent(&window);
    window.showMaximized();
    if (!waitUntilPainted(window, window.imagePage->cxGrid1, data.MSBild->recordCount())) {
        std::fprintf(stderr, "the image grid was not shown within two minutes\n");
        return 1;
    }
    TableObject* t = data.MSBild;
    const QList<QVariantList> keys = randomKeys(t, o.locates);
    t->locate(QStringLiteral("Dateipfad;Dateiname"), keys.first());
    print("locate_window_per_s", locateRate(t, keys));
    QCoreApplication::processEvents();
    t->disableControls();
    const double locatesDisabled = locateRate(t, keys);
    t->enableControls();
    QCoreApplication::processEvents();
    print("locate_window_disabled_per_s", locatesDisabled);

    CatalogueGenerator generator(816);
    const auto list = generator.pictures(o.posts, QStringLiteral("/home/anna/Neu"));
    print("post_window_per_s", postRate(t, list));
    QCoreApplication::processEvents();

    // The same with the grids switched off, as long runs do.
    const auto more = generator.pictures(o.posts, QStringLiteral("/home/anna/Neu2"));
    t->disableControls();
    const double disabled = postRate(t, more);
    const auto enable = Clock_::now();
    t->enableControls();
    QCoreApplication::processEvents();
    print("post_window_disabled_per_s", disabled);
    print("enable_controls_s", secondsSince(enable));
    window.close();
    data.DataModuleDestroy();
    return env.reporter.errors ? 1 : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const Options o = parse(argc, argv);
    if (o.mode.empty() || o.path.isEmpty()) {
        std::fprintf(stderr, "usage: %s --generate|--start|--load|--locate|--post|--window PATH [options]\n", argv[0]);
        return 2;
    }
    try {
        if (o.mode == "start")
            return runStart(argc, argv, o);
        if (o.mode == "window")
            return runWindow(argc, argv, o);
        QCoreApplication app(argc, argv);
        if (o.mode == "generate")
            return runGenerate(o);
        if (o.mode == "load")
            return runLoad(o);
        if (o.mode == "locate")
            return runLocate(o);
        if (o.mode == "post")
            return runPost(o);
    } catch (const OrdnixError& error) {
        std::fprintf(stderr, "error: %s\n", qPrintable(error.message()));
        return 1;
    }
    return 2;
}
