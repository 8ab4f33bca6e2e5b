#include "gridtools/LongRun.h"

#include "data/TableObject.h"

#include <QApplication>
#include <QProgressBar>

LongRun::LongRun(QList<TableObject*> tablesOff)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (TableObject* table : tablesOff) {
        table->disableControls();
        m_tables.append(table);
    }
}

LongRun::~LongRun()
{
    for (auto it = m_tables.rbegin(); it != m_tables.rend(); ++it) {
        if (*it)
            (*it)->enableControls();
    }
    QApplication::restoreOverrideCursor();
}

void LongRun::progress(QProgressBar* bar, int percent)
{
    if (bar && bar->value() != percent) {
        bar->setValue(percent);
        repaint();
    }
}

void LongRun::repaint()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
