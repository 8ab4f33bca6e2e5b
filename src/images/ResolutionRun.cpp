#include "images/ResolutionRun.h"

#include "data/TableObject.h"
#include "images/Pictures.h"
#include "images/Preview.h"
#include "platform/OrdnixError.h"

#include <QThread>
#include <QThreadPool>

#include <vector>

ResolutionRun::ResolutionRun(TableObject* bild, Hooks hooks, const MountTable& mounts)
    : m_bild(bild)
    , m_hooks(std::move(hooks))
    , m_mounts(mounts)
    , m_threads(std::max(1, QThread::idealThreadCount()))
{}

void ResolutionRun::run()
{
    m_lastPicture.clear();
    if (m_bild->isEmpty())
        return;
    m_bild->first();
    const int count = m_bild->recordCount();
    const int dateipfad = m_bild->fieldIndex(QStringLiteral("Dateipfad"));
    const int dateiname = m_bild->fieldIndex(QStringLiteral("Dateiname"));
    const int thumbname = m_bild->fieldIndex(QStringLiteral("Thumbname"));
    const int aufloesung = m_bild->fieldIndex(QStringLiteral("Aufloesung"));

    // Headers are read a batch at a time, the batch split among the threads; the records of a
    // batch are posted once all of it is read.
    const int batch = 64 * m_threads;
    QThreadPool pool;
    pool.setMaxThreadCount(m_threads);
    std::vector<QString> paths;
    std::vector<Pictures::Measured> sizes;
    for (int start = 0; start < count; start += batch) {
        const int end = std::min(count, start + batch);
        paths.assign(size_t(end - start), QString());
        sizes.assign(size_t(end - start), Pictures::Measured());
        for (int row = start; row < end; ++row) {
            paths[size_t(row - start)] =
                Preview::BuildPreviewPaths(m_bild->valueAt(row, dateipfad).toString(),
                                           m_bild->valueAt(row, dateiname).toString(),
                                           m_bild->valueAt(row, thumbname).toString(), m_mounts)
                    .picture;
        }
        const int n = end - start;
        const int slices = std::min(m_threads, n);
        if (slices <= 1) {
            for (int k = 0; k < n; ++k)
                sizes[size_t(k)] = Pictures::measurePicture(paths[size_t(k)]);
        } else {
            for (int s = 0; s < slices; ++s) {
                pool.start([&paths, &sizes, s, slices, n] {
                    for (int k = s; k < n; k += slices)
                        sizes[size_t(k)] = Pictures::measurePicture(paths[size_t(k)]);
                });
            }
            pool.waitForDone();
        }
        for (int row = start; row < end; ++row) {
            const Pictures::Measured& measured = sizes[size_t(row - start)];
            if (m_hooks.progress)
                m_hooks.progress(int(qint64(row + 1) * 100 / count));
            m_bild->moveTo(row);
            if (!measured.error.isEmpty())
                throw OrdnixError(measured.error);
            m_lastPicture = paths[size_t(row - start)];
            m_bild->edit();
            m_bild->setValue(aufloesung, Preview::resolutionText(measured.size));
            m_bild->post();
        }
    }
}
