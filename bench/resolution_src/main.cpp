// The resolution benchmark's measuring program. Each mode runs once and prints key=value lines;
// the script bench/resolution runs it in fresh processes, alternates it with vipsheader and takes
// medians.
//
//   bench_resolution resolution FOLDER WORK   catalogue every picture of FOLDER, time the resolution run
//   bench_resolution navigate FOLDER WORK     catalogue them, time navigator steps (Next) on the image page

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "gridtools/NavigatorBar.h"
#include "images/ImagePage.h"
#include "images/Pictures.h"
#include "images/ResolutionRun.h"
#include "platform/CommandGuard.h"
#include "platform/Context.h"
#include "platform/FileUrl.h"
#include "platform/Folders.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

void print(const char* key, double value, int decimals = 1)
{
    std::printf("%s=%s\n", key, QByteArray::number(value, 'f', decimals).constData());
    std::fflush(stdout);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Failures of a step go to standard error; a benchmark step should have none.
class PrintReporter final : public ErrorReporter
{
public:
    void showError(const QString& message) override { std::fprintf(stderr, "%s\n", qPrintable(message)); }
};

// A catalogue in WORK holding every JPEG of FOLDER, each with a small thumbnail, as a scan
// leaves them.
std::unique_ptr<DataModule> catalogue(const QString& folder, const QString& work)
{
    QDir().mkpath(work);
    const QString path = work + QStringLiteral("/media.db");
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
    Catalogue::create(path);
    auto data = std::make_unique<DataModule>(path);
    data->DataModuleCreate();

    ensureFolder(folder + QStringLiteral("thumbnail"));
    QImage thumb(160, 120, QImage::Format_RGB32);
    thumb.fill(Qt::darkCyan);
    const QByteArray thumbBytes = Pictures::encodeThumbnail(thumb);
    const QString url = folderToFileUrl(folder);
    TableObject* t = data->MSBild;
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QString thumbName = QStringLiteral("TN_") + name;
        QFile file(folder + QStringLiteral("thumbnail/") + thumbName);
        if (!file.exists() && file.open(QIODevice::WriteOnly))
            file.write(thumbBytes);
        t->append();
        t->setValue(QStringLiteral("Dateipfad"), url);
        t->setValue(QStringLiteral("Dateiname"), name);
        t->setValue(QStringLiteral("Thumbname"), thumbName);
        t->post();
    }
    t->first();
    return data;
}

QString folderArg(const QString& arg)
{
    return QDir(arg).absolutePath() + QLatin1Char('/');
}

int resolutionMode(const QString& folder, const QString& work)
{
    auto data = catalogue(folder, work);
    TableObject* t = data->MSBild;
    ResolutionRun run(t);
    QElapsedTimer timer;
    timer.start();
    t->disableControls();
    run.run();
    t->enableControls();
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("pictures=%d\n", t->recordCount());
    print("seconds", seconds, 3);
    print("resolution_pictures_per_s", t->recordCount() / seconds);
    return 0;
}

int navigateMode(const QString& folder, const QString& work)
{
    auto data = catalogue(folder, work);
    PrintReporter reporter;
    CommandGuard::setReporter(&reporter);
    AppContext context;
    ImagePage page(data.get(), &context);
    page.resize(1200, 800);
    page.show();
    QToolButton* next = page.abcNavPanel2->button(NavButton::Next);
    auto steps = [&](int count) {
        std::vector<double> ms;
        for (int i = 0; i < count && data->MSBild->recNo() + 1 < data->MSBild->recordCount(); ++i) {
            QElapsedTimer timer;
            timer.start();
            next->click();
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        return median(ms);
    };
    data->MSBild->first();
    print("next_step_ms", steps(200), 2);
    page.Image1Click();
    print("next_step_zoomed_ms", steps(15), 2);
    CommandGuard::setReporter(nullptr);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("resolution"))
        return resolutionMode(folderArg(args[2]), args[3]);
    if (args.size() == 4 && args[1] == QLatin1String("navigate"))
        return navigateMode(folderArg(args[2]), args[3]);
    std::fprintf(stderr, "usage: bench_resolution resolution|navigate FOLDER WORK\n");
    return 2;
}
