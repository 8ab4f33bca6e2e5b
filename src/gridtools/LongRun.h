#pragma once

#include <QList>
#include <QPointer>

class QProgressBar;
class TableObject;

// Brackets a long command: a wait cursor, no user input while it works (the window still
// repaints), the given tables' bound controls switched off. Everything is restored when the run
// ends, also when it ends through a failure.
class LongRun
{
public:
    explicit LongRun(QList<TableObject*> tablesOff = {});
    ~LongRun();
    LongRun(const LongRun&) = delete;
    LongRun& operator=(const LongRun&) = delete;

    // Shows the percentage on the bar and lets the window repaint; user input waits.
    static void progress(QProgressBar* bar, int percent);
    // Lets the window repaint without taking user input.
    static void repaint();

private:
    QList<QPointer<TableObject>> m_tables;
};
