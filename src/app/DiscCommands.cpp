#include "app/MainWindow.h"
#include "app/PageCommands.h"
#include "app/commands/CommandTable.h"
#include "discs/DiscPage.h"
#include "media/MediaPage.h"

#include <QTabWidget>

void bindDiscCommands(MainWindow& window)
{
    CommandTable* c = window.commands();
    c->bind(QStringLiteral("dxBarButton12Click"), [&window] {
        window.cxPageControl1->setCurrentIndex(MainWindow::DiscsPage);
        window.setLargeButtons({{1, true}, {2, false}, {3, false}, {4, true}, {5, true}, {6, false}});
        // The disc scan collects in the media page's list and shows its count there.
        window.discPage->dxBarButton12Click(window.mediaPage->ListBox2, window.mediaPage->Label41);
    });
    c->bind(QStringLiteral("dxBarButton14Click"), [&window] { window.discPage->dxBarButton14Click(); });
    c->bind(QStringLiteral("dxBarButton15Click"), [&window] { window.discPage->dxBarButton15Click(); });
    c->bind(QStringLiteral("dxBarButton16Click"), [&window] { window.discPage->dxBarButton16Click(); });
}
