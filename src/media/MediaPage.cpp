#include "media/MediaPage.h"

#include "data/DataModule.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/CollapsibleSplitter.h"
#include "gridtools/GridBuilder.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QVBoxLayout>

using namespace GridBuilder;

namespace {

GridDef mediaGrid(DataModule* d)
{
    GridDef g;
    g.gridName = QStringLiteral("cxGrid4");
    g.viewName = QStringLiteral("cxGrid4DBTableView1");
    const QString p = QStringLiteral("cxGrid4DBTableView1");
    const QString none;
    g.columns = {
        text(p + QLatin1String("Dateipfad"), QStringLiteral("Dateipfad")),
        text(p + QLatin1String("Dateiname"), QStringLiteral("Dateiname")),
        text(p + QLatin1String("Dateityp"), QStringLiteral("Dateityp")),
        text(p + QLatin1String("Beschreibung"), QStringLiteral("Beschreibung")),
        lookup(p + QLatin1String("Sonstiges"), QStringLiteral("Sonstiges"), none, d->MSTypen,
               {QStringLiteral("Typen")}, false, QStringLiteral("cxGrid4DBTableView1SonstigesPropertiesNewLookupDisplayText")),
        lookup(p + QLatin1String("Sonstiges1"), QStringLiteral("Sonstiges1"), none, d->MSSpezialProdukt,
               {QStringLiteral("SpezialUniversalProdukt")}, false,
               QStringLiteral("cxGrid4DBTableView1Sonstiges1PropertiesNewLookupDisplayText")),
        text(p + QLatin1String("Groesse"), QStringLiteral("Groesse"), QStringLiteral("Größe (byte)")),
        text(p + QLatin1String("DBFreifeld1"), QStringLiteral("Freifeld1"), none, true),
        text(p + QLatin1String("DBFreifeld2"), QStringLiteral("Freifeld2"), none, true),
        text(p + QLatin1String("DBFreifeld3"), QStringLiteral("Freifeld3"), none, true),
        text(p + QLatin1String("Erstelldatum"), QStringLiteral("Erstelldatum")),
        text(p + QLatin1String("letzteAenderung"), QStringLiteral("letzteAenderung"),
             QStringLiteral("letzte Änderung am"), true),
        text(p + QLatin1String("letzterZugriff"), QStringLiteral("letzterZugriff"), QStringLiteral("letzter Zugriff am"),
             true),
        text(p + QLatin1String("fortlfnr"), QStringLiteral("fortlfnr"), none, true),
    };
    g.navigatorBar = true;
    return g;
}

GridDef typeGrid()
{
    GridDef g;
    g.gridName = QStringLiteral("cxGrid5");
    g.viewName = QStringLiteral("cxGrid5DBTableView1");
    g.columns = {
        text(QStringLiteral("Dateityp1"), QStringLiteral("Dateityp")),
        text(QStringLiteral("Beschreibung2"), QStringLiteral("Beschreibung")),
    };
    g.sort = {{QStringLiteral("Beschreibung2"), Qt::AscendingOrder}};
    g.navigatorBar = true;
    g.groupingPanel = false;
    g.multiSelect = false;
    return g;
}

} // namespace

MediaPage::MediaPage(DataModule* data, AppContext* context, QWidget* parent)
    : QWidget(parent)
    , m_data(data)
    , m_context(context)
{
    setObjectName(QStringLiteral("cxTabSheet4"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    cxSplitter6 = new CollapsibleSplitter(Qt::Vertical, 0,
                                          QStringLiteral("1x klick gross/klein - LM gedrückt halten/ziehen : verschieben"),
                                          this);
    cxSplitter6->setObjectName(QStringLiteral("cxSplitter6"));

    Panel4 = new QWidget(cxSplitter6);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    auto* top = new QGridLayout(Panel4);
    top->setContentsMargins(4, 4, 4, 4);
    auto* heading = new QLabel(QStringLiteral("Welcher Dateityp soll eingelesen werden ? :"), Panel4);
    heading->setObjectName(QStringLiteral("Label40"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    top->addWidget(heading, 0, 0, 1, 2);
    cxGrid5 = new CatalogueGrid(typeGrid(), data->DSMediaTyp, Panel4);
    cxGrid5->setToolTip(QStringLiteral("Rechte Maustaste: starten"));
    top->addWidget(cxGrid5, 1, 0, 2, 1);
    LMDProgress2 = new QProgressBar(Panel4);
    LMDProgress2->setObjectName(QStringLiteral("LMDProgress2"));
    LMDProgress2->setRange(0, 100);
    LMDProgress2->hide();
    top->addWidget(LMDProgress2, 1, 1);
    Label41 = new QLabel(Panel4);
    Label41->setObjectName(QStringLiteral("Label41"));
    top->addWidget(Label41, 2, 1, Qt::AlignTop);
    top->setColumnStretch(0, 1);
    top->setColumnStretch(1, 1);
    cxSplitter6->addWidget(Panel4);

    cxGrid4 = new CatalogueGrid(mediaGrid(data), data->DSMedia, cxSplitter6);
    cxGrid4->setToolTip(QStringLiteral("Rechte Maustaste: Starten"));
    cxSplitter6->addWidget(cxGrid4);
    cxSplitter6->setSizes({141, 600});
    cxSplitter6->setStretchFactor(1, 1);
    layout->addWidget(cxSplitter6);

    ListBox2 = new QListWidget(this);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->hide();
}
