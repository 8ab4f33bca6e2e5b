#include "app/MainWindow.h"
#include "app/PageCommands.h"
#include "app/commands/CommandTable.h"
#include "media/MediaPage.h"

#include <QAction>
#include <QTabWidget>

#include <initializer_list>
#include <utility>

namespace {

void setLargeButtons(CommandTable* commands, std::initializer_list<std::pair<int, bool>> states)
{
    for (const auto& [number, enabled] : states) {
        if (QAction* button = commands->action(QStringLiteral("dxBarLargeButton%1").arg(number)))
            button->setEnabled(enabled);
    }
}

} // namespace

void bindMediaCommands(MainWindow& window)
{
    CommandTable* c = window.commands();
    c->bind(QStringLiteral("AlleMediendatenladen1Click"), [&window, c] {
        window.cxPageControl1->setCurrentIndex(MainWindow::MediaFilesPage);
        setLargeButtons(c, {{1, true}, {2, false}, {3, false}, {4, true}, {5, true}, {6, true}});
        window.mediaPage->AlleMediendatenladen1Click();
    });
    c->bind(QStringLiteral("dxBarButton2Click"), [&window] { window.mediaPage->dxBarButton2Click(); });
}
