#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <functional>

class QLabel;
class QListWidget;
class QProgressBar;

// What the media scan and the disc scan share on the window's side.
namespace ScanRun {

// Runs the work on a worker thread; meanwhile the window repaints but takes no input. A failure
// of the work is raised again here.
void runAside(const std::function<void()>& work);

// Searches the folder for files matching the mask (on a worker thread), lists them sorted in
// ListBox2, writes them to the list file and reads it back, and shows the count in Label41.
// Returns the lines read back, in the order their records are made.
QStringList collect(const QString& folder, const QString& mask, const QString& listFile, QListWidget* ListBox2,
                    QLabel* Label41);

// The percentage of a scan's progress bar: index × 100 / count before each line, 100 at the end.
class Progress
{
public:
    Progress(QProgressBar* bar, qsizetype count);
    void step(qsizetype index);
    void finish();

private:
    QProgressBar* m_bar;
    qsizetype m_count;
    QElapsedTimer m_sinceRepaint;
};

} // namespace ScanRun
