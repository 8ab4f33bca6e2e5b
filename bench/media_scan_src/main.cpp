// The media-scan benchmark program; bench/media-scan builds and runs it.
//
//   bench_media_scan --work DIR [--files N] [--folders F] [--rounds R]
//
// Makes (once, kept in DIR) a tree of N empty-but-sized files in F folders, then measures:
//   - the folder walk of the scan against `find TREE -type f -printf '%p;%s\n'`, rounds alternating;
//   - the media scan command ("*.*") on a fresh catalogue, every file new;
//   - the same command again, every file catalogued already;
//   - the sqlite3 tool inserting the same records, one commit each, as the floor for new records.
// Prints medians as key=value lines on standard output; progress goes to standard error.

#include "app/MainWindow.h"
#include "app/commands/CommandTable.h"
#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "data/Schema.h"
#include "data/TableObject.h"
#include "platform/Clock.h"
#include "platform/CommandGuard.h"
#include "platform/Context.h"
#include "platform/FolderSearch.h"
#include "platform/OrdnixError.h"
#include "platform/ShellOpener.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <sys/resource.h>

namespace {

// Answers the folder dialog with the tree; any failure ends the benchmark.
class BenchDialogs final : public Dialogs
{
public:
    QString folder;
    bool confirm(const QString&) override { return false; }
    void message(const QString& text) override { fail(text); }
    QStringList openPictures(const QString&, const QString&) override { return {}; }
    QStringList openFiles(const QString&) override { return {}; }
    QString chooseFolder(const QString&) override { return folder; }
    QString chooseFont(const QString& family, int) override { return family; }
    void about() override {}
    void showError(const QString& text) override { fail(text); }

    [[noreturn]] static void fail(const QString& text)
    {
        std::fprintf(stderr, "bench/media-scan: %s\n", qPrintable(text));
        std::exit(1);
    }
};

void note(const QString& text)
{
    std::fprintf(stderr, "bench/media-scan: %s\n", qPrintable(text));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString makeTree(const QString& work, int files, int folders)
{
    const QString tree = QStringLiteral("%1/tree-%2-%3").arg(work).arg(files).arg(folders);
    const QString done = tree + QLatin1String(".complete");
    if (QFile::exists(done))
        return tree;
    note(QStringLiteral("making %1 files in %2 folders").arg(files).arg(folders));
    QDir(tree).removeRecursively();
    const int perFolder = (files + folders - 1) / folders;
    int made = 0;
    for (int f = 0; f < folders && made < files; ++f) {
        // Two levels, as music collections are: artist/album.
        const QString folder = QStringLiteral("%1/Interpret %2/Album %3")
                                   .arg(tree)
                                   .arg(f / 10, 3, 10, QLatin1Char('0'))
                                   .arg(f, 4, 10, QLatin1Char('0'));
        QDir().mkpath(folder);
        for (int i = 0; i < perFolder && made < files; ++i, ++made) {
            QFile file(
                QStringLiteral("%1/%2 - Titel %3.mp3").arg(folder).arg(i + 1, 2, 10, QLatin1Char('0')).arg(made));
            if (!file.open(QIODevice::WriteOnly) || !file.resize(100000 + made))
                BenchDialogs::fail(QStringLiteral("cannot make %1").arg(file.fileName()));
        }
    }
    QFile marker(done);
    marker.open(QIODevice::WriteOnly);
    return tree;
}

double timeOurWalk(const QString& tree, int expected)
{
    QElapsedTimer clock;
    clock.start();
    QStringList lines;
    FindAllFiles(tree, QStringLiteral("*.*"), true, lines);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (lines.size() != expected)
        BenchDialogs::fail(QStringLiteral("walk found %1 files, not %2").arg(lines.size()).arg(expected));
    return seconds;
}

double timeFind(const QString& tree, bool check, int expected)
{
    QProcess find;
    if (!check)
        find.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    find.start(QStringLiteral("find"), {tree, QStringLiteral("-type"), QStringLiteral("f"), QStringLiteral("-printf"),
                                        QStringLiteral("%p;%s\\n")});
    if (!find.waitForFinished(600000) || find.exitCode() != 0)
        BenchDialogs::fail(QStringLiteral("find failed"));
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (check && find.readAllStandardOutput().count('\n') != expected)
        BenchDialogs::fail(QStringLiteral("find listed another number of files"));
    return seconds;
}

struct ScanTimes
{
    double fresh = 0;
    double again = 0;
    double sqlite3 = 0;
};

void runSqlite3(QProcess& process, const QStringList& arguments)
{
    process.start(QStringLiteral("sqlite3"), arguments);
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        BenchDialogs::fail(
            QStringLiteral("sqlite3 failed: %1").arg(QString::fromLocal8Bit(process.readAllStandardError())));
}

// The floor for making the records: the sqlite3 tool writing the same rows into a new catalogue,
// one INSERT (and so one commit) per row, in the same journal mode. The statements go through a
// file, so that none of them passes through this process's memory.
double timeSqliteInserts(const DataModule& data, const QString& catalogue, const QString& dir)
{
    QStringList columns;
    for (const FieldDef& field : data.MSMedia->definition().fields)
        columns.append(field.type == FieldType::Counter ? QStringLiteral("NULL")
                                                        : QLatin1Char('"') + field.name + QLatin1Char('"'));
    const QString sql = dir + QStringLiteral("/inserts.sql");
    QFile head(sql);
    if (!head.open(QIODevice::WriteOnly) ||
        head.write("PRAGMA journal_mode = WAL;\nPRAGMA synchronous = NORMAL;\n") < 0)
        BenchDialogs::fail(QStringLiteral("cannot write %1").arg(sql));
    head.close();
    QProcess dump;
    dump.setStandardOutputFile(sql, QIODevice::Append);
    runSqlite3(dump, {catalogue, QStringLiteral(".mode insert Media"),
                      QStringLiteral("SELECT %1 FROM Media;").arg(columns.join(QLatin1Char(',')))});

    const QString fresh = dir + QStringLiteral("/floor.db");
    Catalogue::create(fresh);
    QProcess insert;
    insert.setStandardInputFile(sql);
    insert.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    runSqlite3(insert, {fresh});
    const double seconds = timer.nsecsElapsed() / 1e9;
    QFile::remove(sql);
    return seconds;
}

ScanTimes timeScans(const QString& tree, int expected)
{
    QTemporaryDir dir;
    BenchDialogs dialogs;
    dialogs.folder = tree;
    RecordingShellOpener shell;
    SystemClock clock;
    AppContext context;
    context.paths = Paths::inside(dir.path());
    context.dialogs = &dialogs;
    context.shell = &shell;
    context.clock = &clock;
    CommandGuard::setReporter(&dialogs);

    Catalogue::create(context.paths.database);
    DataModule data(context.paths.database);
    data.DataModuleCreate();
    data.MSMediaTyp->append();
    data.MSMediaTyp->setValue(QStringLiteral("Dateityp"), QStringLiteral("*.*"));
    data.MSMediaTyp->setValue(QStringLiteral("Beschreibung"), QStringLiteral("alle Dateien"));
    data.MSMediaTyp->post();

    ScanTimes times;
    {
        MainWindow window(&data, &context);
        window.show();
        QApplication::processEvents();
        QAction* scan = window.commands()->action(QStringLiteral("AlleMediendatenladen1"));
        for (double* slot : {&times.fresh, &times.again}) {
            QElapsedTimer timer;
            timer.start();
            scan->trigger();
            QApplication::processEvents(); // the grid shows the records
            *slot = timer.nsecsElapsed() / 1e9;
            if (data.MSMedia->recordCount() != expected)
                BenchDialogs::fail(QStringLiteral("the catalogue holds %1 records, not %2")
                                       .arg(data.MSMedia->recordCount())
                                       .arg(expected));
        }
        times.sqlite3 = timeSqliteInserts(data, context.paths.database, dir.path());
    }
    data.DataModuleDestroy();
    CommandGuard::setReporter(nullptr);
    return times;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_NUMERIC, "C"); // figures with a decimal point, whatever the user's language
    QString work;
    int files = 100000, folders = 1000, rounds = 3;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--work"))
            work = args[i + 1];
        else if (args[i] == QLatin1String("--files"))
            files = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--folders"))
            folders = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--rounds"))
            rounds = args[i + 1].toInt();
    }
    if (work.isEmpty() || files <= 0 || folders <= 0 || rounds <= 0)
        BenchDialogs::fail(QStringLiteral("usage: bench_media_scan --work DIR [--files N] [--folders F] [--rounds R]"));

    const QString tree = makeTree(work, files, folders);
    // Both walkers see a warm cache; find's count is checked once.
    timeOurWalk(tree, files);
    timeFind(tree, true, files);

    note(QStringLiteral("%1 rounds of the folder walk and find").arg(rounds * 2 + 1));
    std::vector<double> ours, theirs;
    for (int r = 0; r < rounds * 2 + 1; ++r) {
        ours.push_back(timeOurWalk(tree, files));
        theirs.push_back(timeFind(tree, false, files));
    }
    note(QStringLiteral("%1 rounds of the media scan, new and catalogued").arg(rounds));
    std::vector<double> fresh, again, floor;
    for (int r = 0; r < rounds; ++r) {
        const ScanTimes t = timeScans(tree, files);
        fresh.push_back(t.fresh);
        again.push_back(t.again);
        floor.push_back(t.sqlite3);
        note(QStringLiteral("round %1: new %2 s, rescan %3 s, sqlite3 inserting the records %4 s")
                 .arg(r + 1)
                 .arg(t.fresh, 0, 'f', 2)
                 .arg(t.again, 0, 'f', 2)
                 .arg(t.sqlite3, 0, 'f', 2));
    }

    const double walk = median(ours), find = median(theirs);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("files=%d\nfolders=%d\n", files, folders);
    std::printf("walk_s=%.4f\nfind_s=%.4f\n", walk, find);
    std::printf("walk_files_per_s=%.0f\nfind_files_per_s=%.0f\nwalk_ratio_vs_find=%.2f\n", files / walk, files / find,
                walk / find);
    std::printf("new_scan_s=%.3f\nnew_records_per_s=%.0f\n", median(fresh), files / median(fresh));
    std::printf("sqlite3_insert_s=%.3f\nsqlite3_records_per_s=%.0f\nratio_new_vs_sqlite3=%.2f\n", median(floor),
                files / median(floor), median(fresh) / median(floor));
    std::printf("rescan_s=%.3f\nrescan_files_per_s=%.0f\n", median(again), files / median(again));
    std::printf("peak_rss_mb=%.0f\n", usage.ru_maxrss / 1024.0);
    std::printf("target_walk_ratio_vs_find=2\ntarget_new_records_per_s=20000\ntarget_rescan_files_per_s=50000\n"
                "target_peak_rss_mb=200\n");
    return 0;
}
