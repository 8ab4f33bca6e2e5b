// The import benchmark's measuring program. Each mode runs once and prints key=value lines; the
// script bench/import runs it in fresh processes, alternates it with vipsthumbnail and takes
// medians.
//
//   bench_import import FOLDER WORK    import every picture of FOLDER into a new catalogue in WORK
//   bench_import rescan FOLDER WORK N  make N small catalogued pictures in FOLDER, then time rescans
//   bench_import decode FOLDER         scaled JPEG decoding alone, on every core

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "images/ImportRun.h"
#include "images/Pictures.h"
#include "platform/Folders.h"
#include "platform/OrdnixError.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QThread>
#include <QThreadPool>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>

namespace {

void print(const char* key, double value)
{
    std::printf("%s=%s\n", key, QByteArray::number(value, 'f', 1).constData());
    std::fflush(stdout);
}

void print(const char* key, int count)
{
    std::printf("%s=%d\n", key, count);
    std::fflush(stdout);
}

double peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

struct BenchCatalogue
{
    std::unique_ptr<DataModule> data;
    ProgramValues values;

    explicit BenchCatalogue(const QString& work)
    {
        QDir().mkpath(work);
        const QString path = work + QStringLiteral("/media.db");
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(path + QLatin1String(suffix));
        ::Catalogue::create(path);
        data = std::make_unique<DataModule>(path);
        data->DataModuleCreate();
        values.TempFolder = work + QStringLiteral("/temp/");
        values.HtmlHeading = QStringLiteral("Bildergalerie");
        values.HtmlTableWidth = QStringLiteral("65");
        values.HtmlFontName = QStringLiteral("Arial");
    }

    // The scan command's part and the run, as "alle Datensätze" does it; the seconds of the run.
    double importFolder(const QString& folder)
    {
        ScanState state;
        state.ChosenFolder = folder;
        state.PictureFolder = folder;
        ensureFolder(folder + state.ThumbnailFolderName);
        ImportRun run(data->MSBild, state, values, 5);
        QElapsedTimer timer;
        timer.start();
        data->MSBild->disableControls();
        run.CreateHTML1(folder + QStringLiteral("image_1.htm"));
        data->MSBild->enableControls();
        return timer.nsecsElapsed() / 1e9;
    }
};

QString folderArg(const QString& arg)
{
    return QDir(arg).absolutePath() + QLatin1Char('/');
}

int importMode(const QString& folder, const QString& work)
{
    QDir(folder + QStringLiteral("thumbnail")).removeRecursively();
    BenchCatalogue catalogue(work);
    const double seconds = catalogue.importFolder(folder);
    const int pictures = catalogue.data->MSBild->recordCount();
    print("pictures", pictures);
    print("seconds", seconds);
    print("import_pictures_per_s", pictures / seconds);
    print("peak_rss_mb", peakRssMb());
    return 0;
}

int rescanMode(const QString& folder, const QString& work, int count)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    // One small picture under many names (hard links), catalogued by a first import.
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString first = folder + QStringLiteral("bild_00000.jpg");
    image.save(first, "jpeg");
    for (int i = 1; i < count; ++i) {
        const QString name = folder + QStringLiteral("bild_%1.jpg").arg(i, 5, 10, QLatin1Char('0'));
        if (::link(QFile::encodeName(first).constData(), QFile::encodeName(name).constData()) != 0 &&
            !QFile::copy(first, name))
            return 1;
    }
    BenchCatalogue catalogue(work);
    const double importSeconds = catalogue.importFolder(folder);
    print("rescan_setup_import_pictures_per_s", count / importSeconds);
    std::vector<double> times;
    for (int round = 0; round < 5; ++round)
        times.push_back(catalogue.importFolder(folder));
    std::sort(times.begin(), times.end());
    if (catalogue.data->MSBild->recordCount() != count)
        return 1;
    print("rescan_files", count);
    print("rescan_files_per_s", count / times[times.size() / 2]);
    return 0;
}

int decodeMode(const QString& folder)
{
    Pictures::registerReaders();
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    std::atomic<int> decoded{0};
    QThreadPool pool;
    pool.setMaxThreadCount(QThread::idealThreadCount());
    QElapsedTimer timer;
    timer.start();
    for (const QString& name : names) {
        pool.start([&decoded, path = folder + name] {
            QImageReader reader(path);
            const QSize size = reader.size();
            reader.setScaledSize(Pictures::thumbnailSize(size, 160, 120));
            if (!reader.read().isNull())
                ++decoded;
        });
    }
    pool.waitForDone();
    print("scaled_decode_pictures_per_s", decoded / (timer.nsecsElapsed() / 1e9));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 4 && args[1] == QLatin1String("import"))
            return importMode(folderArg(args[2]), args[3]);
        if (args.size() == 5 && args[1] == QLatin1String("rescan"))
            return rescanMode(folderArg(args[2]), args[3], args[4].toInt());
        if (args.size() == 3 && args[1] == QLatin1String("decode"))
            return decodeMode(folderArg(args[2]));
    } catch (const OrdnixError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    std::fprintf(stderr, "usage: bench_import import FOLDER WORK | rescan FOLDER WORK N | decode FOLDER\n");
    return 2;
}
