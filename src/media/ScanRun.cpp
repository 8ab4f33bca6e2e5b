#include "media/ScanRun.h"

#include "gridtools/LongRun.h"
#include "media/MediaList.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QThread>

#include <exception>
#include <malloc.h>
#include <memory>

namespace {

// How often the window repaints while the records of a long list are made.
constexpr int repaintIntervalMs = 100;

} // namespace

void ScanRun::runAside(const std::function<void()>& work)
{
    std::exception_ptr failure;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    worker->start();
    while (!worker->wait(QDeadlineTimer(repaintIntervalMs / 2)))
        LongRun::repaint();
    if (failure)
        std::rethrow_exception(failure);
}

QStringList ScanRun::collect(const QString& folder, const QString& mask, const QString& listFile, QListWidget* ListBox2,
                             QLabel* Label41)
{
    // The search runs on another thread, which allocates from memory of its own: what the list
    // box of an earlier scan held goes back to the system first, or both would stay taken.
    ::malloc_trim(0);
    QStringList found;
    runAside([&] { found = MediaList::collect(folder, mask); });
    MediaList::write(listFile, found);
    found.clear();
    ::malloc_trim(0); // the search thread's memory, before the list is read back
    // The list box shows the very lines the records are made from: one copy of a large list.
    const QStringList lines = MediaList::read(listFile);
    ListBox2->addItems(lines);
    Label41->setText(QString::number(lines.size()) + QStringLiteral(" Mediensätze eingelesen"));
    // The bytes of the file are gone by now; their memory goes back before the records are made.
    ::malloc_trim(0);
    return lines;
}

ScanRun::Progress::Progress(QProgressBar* bar, qsizetype count)
    : m_bar(bar)
    , m_count(count)
{
    m_sinceRepaint.start();
}

void ScanRun::Progress::step(qsizetype index)
{
    if (m_bar->isHidden())
        m_bar->show();
    const int percent = int(index * 100 / m_count);
    if (m_bar->value() != percent) {
        LongRun::progress(m_bar, percent);
        m_sinceRepaint.restart();
    } else if (m_sinceRepaint.hasExpired(repaintIntervalMs)) {
        LongRun::repaint();
        m_sinceRepaint.restart();
    }
}

void ScanRun::Progress::finish()
{
    m_bar->show();
    LongRun::progress(m_bar, 100);
}
