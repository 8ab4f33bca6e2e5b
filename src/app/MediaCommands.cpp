#include "app/MainWindow.h"
#include "app/PageCommands.h"
#include "app/commands/CommandTable.h"
#include "media/MediaPage.h"

#include <QTabWidget>

void bindMediaCommands(MainWindow& window)
{
    CommandTable* c = window.commands();
    c->bind(QStringLiteral("AlleMediendatenladen1Click"), [&window] {
        window.cxPageControl1->setCurrentIndex(MainWindow::MediaFilesPage);
        window.setLargeButtons({{1, true}, {2, false}, {3, false}, {4, true}, {5, true}, {6, true}});
        window.mediaPage->AlleMediendatenladen1Click();
    });
    c->bind(QStringLiteral("dxBarButton2Click"), [&window] { window.mediaPage->dxBarButton2Click(); });
}
