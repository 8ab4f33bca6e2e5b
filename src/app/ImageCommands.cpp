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
    // The toolbar buttons "Bildzoom an/aus" and "zus. Infos an/aus" share these handlers.
    c->bind(QStringLiteral("Image1Click"), [page] { page->Image1Click(); });
    c->bind(QStringLiteral("SpeedButton1Click"), [page] { page->SpeedButton1Click(); });
    c->bind(QStringLiteral("Bildauflsungberechnen1Click"), [page] { page->Bildauflsungberechnen1Click(); });
    c->bind(QStringLiteral("SelektierteDatenstzeimIEanzeigen1Click"),
            [page] { page->SelektierteDatenstzeimIEanzeigen1Click(); });
}
