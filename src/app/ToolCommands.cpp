#include "app/MainWindow.h"
#include "app/PageCommands.h"
#include "app/commands/CommandTable.h"
#include "data/DataModule.h"
#include "gridtools/GridTools.h"
#include "gridtools/LookupCombo.h"
#include "images/ImagePage.h"
#include "media/MediaPage.h"

#include <memory>

void bindToolCommands(MainWindow& window)
{
    CommandTable* c = window.commands();
    DataModule* d = window.data();

    // Growing lookup lists: every drop-down hands a typed value its list lacks to this runner.
    auto lists = std::make_shared<LookupLists>(d);
    LookupHandlers::setRunner([lists](const QString& handler, const QString& text) { lists->run(handler, text); });
    QObject::connect(&window, &QObject::destroyed, [] { LookupHandlers::setRunner({}); });

    // Replacing a column's value in every row the grid shows.
    const std::pair<const char*, const char*> imageEdits[] = {{"dxBarEdit3Change", "Beschreibung"},
                                                              {"dxBarEdit2Change", "SpezialUniversalProdukt"},
                                                              {"dxBarEdit4Change", "Produktgruppe"},
                                                              {"dxBarEdit5Change", "Produktbildvariante"},
                                                              {"dxBarEdit6Change", "Sonstiges"}};
    for (const auto& [handler, field] : imageEdits) {
        const QString target = QLatin1String(field);
        c->bindText(QLatin1String(handler), [&window, target](const QString& text) {
            BulkReplace::run(window.imagePage->cxGrid1, target, text);
        });
    }
    const std::pair<const char*, const char*> mediaEdits[] = {
        {"dxBarEdit8Change", "Beschreibung"}, {"dxBarEdit9Change", "Sonstiges"}, {"dxBarEdit10Change", "Sonstiges1"}};
    for (const auto& [handler, field] : mediaEdits) {
        const QString target = QLatin1String(field);
        c->bindText(QLatin1String(handler), [&window, target](const QString& text) {
            BulkReplace::run(window.mediaPage->cxGrid4, target, text);
        });
    }

    // Deriving a classification from the file name or folder.
    auto derive = [&window, d](TableObject* table, const char* search, const char* target, QProgressBar* bar) {
        Derive::run(table, QLatin1String(search), QLatin1String(target), d->MSTypen, QStringLiteral("Typen"), bar);
    };
    c->bind(QStringLiteral("AutomarkeausDateinameableiten1Click"),
            [&window, d, derive] { derive(d->MSBild, "Dateiname", "Automarke", window.imagePage->LMDProgress1); });
    c->bind(QStringLiteral("Aut1Click"),
            [&window, d, derive] { derive(d->MSBild, "Dateipfad", "Automarke", window.imagePage->LMDProgress1); });
    c->bind(QStringLiteral("dxBarButton4Click"),
            [&window, d, derive] { derive(d->MSMedia, "Dateipfad", "Sonstiges", window.mediaPage->LMDProgress2); });
    // This one searches the file name, whatever its caption says.
    c->bind(QStringLiteral("dxBarButton5Click"),
            [&window, d, derive] { derive(d->MSMedia, "Dateiname", "Sonstiges1", window.mediaPage->LMDProgress2); });
}
