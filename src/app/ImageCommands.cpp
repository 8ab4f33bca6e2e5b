#include "app/MainWindow.h"
#include "app/PageCommands.h"
#include "app/commands/CommandTable.h"
#include "images/ImagePage.h"

void bindImageCommands(MainWindow& window)
{
    CommandTable* c = window.commands();
    ImagePage* page = window.imagePage;
    c->bind(QStringLiteral("newopenClick"), [page] { page->newopenClick(); });
    c->bind(QStringLiteral("ffnenselektierteDatenstze1Click"), [page] { page->ffnenselektierteDatenstze1Click(); });
    c->bind(QStringLiteral("OhneVorschauffnenalleDatenstze1Click"),
            [page] { page->OhneVorschauffnenalleDatenstze1Click(); });
    c->bind(QStringLiteral("OhneVorschauffnenselektierteDatenstze1Click"),
            [page] { page->OhneVorschauffnenselektierteDatenstze1Click(); });
}
