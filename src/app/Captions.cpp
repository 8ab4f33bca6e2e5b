#include "app/Captions.h"

#include "app/commands/CommandTable.h"
#include "data/TableObject.h"
#include "gridtools/CatalogueGrid.h"
#include "platform/Context.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

const QList<CaptionTarget>& captionTargets()
{
    using K = CaptionTarget;
    auto t = [](const char* field, K::Kind kind, const char* owner, const char* target, const char* prefix = "",
                const char* suffix = "", int item = 0) {
        return CaptionTarget{
            QLatin1String(field),      kind, QLatin1String(owner), QLatin1String(target), QString::fromUtf8(prefix),
            QString::fromUtf8(suffix), item};
    };
    const char* alle = "alle ";
    const char* werte = " Werte ersetzen durch:";
    static const QList<CaptionTarget> targets = {
        t("a1", K::GridColumn, "cxGrid1", "Automarke"),
        t("a1", K::Label, "", "Label13"),
        t("a1", K::Entry, "", "AutomarkeausDateinameableiten1", "", " aus Datei&name ableiten"),
        t("a1", K::Entry, "", "Aut1", "", " aus Datei&pfad ableiten"),
        t("a1", K::Choice, "cxRadioGroup2", "", "", "", 1),
        t("a2", K::GridColumn, "cxGrid1", "SpezialUniversalProdukt"),
        t("a2", K::Label, "", "Label5"),
        t("a2", K::Entry, "", "dxBarEdit2", alle, werte),
        t("a2", K::Choice, "cxRadioGroup2", "", "", "", 2),
        t("a3", K::GridColumn, "cxGrid1", "Produktgruppe"),
        t("a3", K::Label, "", "Label4"),
        t("a3", K::Entry, "", "dxBarEdit4", alle, werte),
        t("a3", K::Choice, "cxRadioGroup2", "", "", "", 3),
        t("a4", K::GridColumn, "cxGrid1", "Produktbildvariante"),
        t("a4", K::Label, "", "Label3"),
        t("a4", K::Entry, "", "dxBarEdit5", alle, werte),
        t("a4", K::Choice, "cxRadioGroup2", "", "", "", 4),
        t("a5", K::GridColumn, "cxGrid1", "Sonstiges"),
        t("a5", K::Label, "", "Label7"),
        t("a5", K::Entry, "", "dxBarEdit6", alle, werte),
        t("a5", K::Choice, "cxRadioGroup2", "", "", "", 5),
        t("a6", K::GridColumn, "cxGrid1", "Sonstiges1"),
        t("a6", K::Label, "", "Label20"),
        t("b1", K::GridColumn, "cxGrid2", "nr"),
        t("b2", K::GridColumn, "cxGrid2", "Bezeichnung"),
        t("b3", K::GridColumn, "cxGrid2", "Medium"),
        t("b4", K::GridColumn, "cxGrid2", "Kategorie"),
        t("b5", K::GridColumn, "cxGrid2", "Lagerort"),
        t("b6", K::GridColumn, "cxGrid2", "Freifeld1"),
        t("b7", K::GridColumn, "cxGrid2", "Freifeld2"),
        t("b8", K::GridColumn, "cxGrid2", "Freifeld3"),
        t("c1", K::GridColumn, "cxGrid3", "Liednr"),
        t("c2", K::GridColumn, "cxGrid3", "Titel"),
        t("c3", K::GridColumn, "cxGrid3", "Songtext"),
        t("c4", K::GridColumn, "cxGrid3", "Interpret"),
        t("c5", K::GridColumn, "cxGrid3", "Laenge"),
        t("d1", K::GridColumn, "cxGrid4", "cxGrid4DBTableView1Beschreibung"),
        t("d1", K::Entry, "", "dxBarEdit8", alle, werte),
        t("d2", K::GridColumn, "cxGrid4", "cxGrid4DBTableView1Sonstiges"),
        t("d2", K::Entry, "", "dxBarEdit9", alle, werte),
        t("d2", K::Entry, "", "dxBarButton4", "", " aus Dateipfad ableiten"),
        t("d3", K::GridColumn, "cxGrid4", "cxGrid4DBTableView1Sonstiges1"),
        t("d3", K::Entry, "", "dxBarEdit10", alle, werte),
        t("d3", K::Entry, "", "dxBarButton5", "", " aus Dateipfad ableiten"),
        t("d4", K::GridColumn, "cxGrid4", "cxGrid4DBTableView1DBFreifeld1"),
        t("d5", K::GridColumn, "cxGrid4", "cxGrid4DBTableView1DBFreifeld2"),
        t("d6", K::GridColumn, "cxGrid4", "cxGrid4DBTableView1DBFreifeld3"),
    };
    return targets;
}

void variablelesen(TableObject* variablen, ProgramValues& values, QWidget* window, CommandTable* commands)
{
    variablen->first();
    const bool empty = variablen->isEmpty();
    auto field = [&](const QString& name) { return empty ? QString() : variablen->value(name).toString(); };
    values.HtmlHeading = field(QStringLiteral("Wert"));
    values.HtmlTableWidth = QString::number(empty ? 0 : variablen->value(QStringLiteral("HTMLBreite")).toLongLong());
    values.HtmlFontName = field(QStringLiteral("HTMLSchriftart"));

    for (const CaptionTarget& target : captionTargets()) {
        const QString text = target.prefix + field(target.field) + target.suffix;
        switch (target.kind) {
        case CaptionTarget::GridColumn:
            if (auto* grid = window->findChild<CatalogueGrid*>(target.owner))
                if (GridColumnObject* column = grid->column(target.target))
                    column->setCaption(text);
            break;
        case CaptionTarget::Label:
            if (auto* label = window->findChild<QLabel*>(target.target))
                label->setText(text);
            break;
        case CaptionTarget::Entry:
            if (QAction* action = commands->action(target.target))
                action->setText(text);
            break;
        case CaptionTarget::Choice:
            if (auto* group = window->findChild<QGroupBox*>(target.owner)) {
                const QList<QRadioButton*> items = group->findChildren<QRadioButton*>();
                if (target.item >= 1 && target.item <= items.size())
                    items[target.item - 1]->setText(text);
            }
            break;
        }
    }
}
