#include "discs/DiscPage.h"

#include "data/DataModule.h"
#include "discs/DiscRecords.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/CollapsibleSplitter.h"
#include "gridtools/GridBuilder.h"
#include "gridtools/LongRun.h"
#include "media/MediaList.h"
#include "media/MediaPage.h"
#include "media/ScanRun.h"
#include "platform/Context.h"
#include "platform/Folders.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QTableView>
#include <QVBoxLayout>

using namespace GridBuilder;

namespace {

GridDef discGrid(DataModule* d)
{
    GridDef g;
    g.gridName = QStringLiteral("cxGrid2");
    g.viewName = QStringLiteral("View2");
    const QString none;
    g.columns = {
        text(QStringLiteral("nr"), QStringLiteral("recnr"), QStringLiteral("fortlf Nr")),
        text(QStringLiteral("Bezeichnung"), QStringLiteral("Name")),
        lookup(QStringLiteral("Medium"), QStringLiteral("Medium"), none, d->MScdmedium, {QStringLiteral("Medium")},
               true, QStringLiteral("MediumPropertiesNewLookupDisplayText")),
        lookup(QStringLiteral("Kategorie"), QStringLiteral("Rubrik"), QStringLiteral("Kategorie"), d->MScdrubrik,
               {QStringLiteral("Rubrik")}, true, QStringLiteral("KategoriePropertiesNewLookupDisplayText")),
        masked(QStringLiteral("Anzahl"), QStringLiteral("Anzahl"), QStringLiteral("9 vo\\n 9;_")),
        lookup(QStringLiteral("Lagerort"), QStringLiteral("Lagerort"), none, d->MScdlagerort,
               {QStringLiteral("Lagerort")}, true, QStringLiteral("LagerortPropertiesNewLookupDisplayText")),
        text(QStringLiteral("Freifeld1"), QStringLiteral("Freifeld1"), none, true),
        text(QStringLiteral("Freifeld2"), QStringLiteral("Freifeld2"), none, true),
        text(QStringLiteral("Freifeld3"), QStringLiteral("Freifeld3"), none, true),
        text(QStringLiteral("Datum"), QStringLiteral("Datum")),
    };
    g.navigatorBar = true;
    g.columnsFitWidth = true;
    g.footerSummaries = {{QStringLiteral("nr"), SummaryKind::Count}};
    g.groupSummaries = {{QStringLiteral("Bezeichnung"), SummaryKind::Count}};
    g.groupSummaryLinks = {QStringLiteral("nr"), QStringLiteral("Medium"), QStringLiteral("Kategorie"),
                           QStringLiteral("Anzahl"), QStringLiteral("Lagerort")};
    g.groupFooters = GroupFooterMode::WhileExpanded;
    return g;
}

GridDef contentsGrid()
{
    GridDef g;
    g.gridName = QStringLiteral("cxGrid3");
    g.viewName = QStringLiteral("View3");
    const QString none;
    g.columns = {
        text(QStringLiteral("Liednr"), QStringLiteral("Liednr")),
        text(QStringLiteral("Titel"), QStringLiteral("Titel")),
        memo(QStringLiteral("Songtext"), QStringLiteral("Songtext")),
        text(QStringLiteral("Interpret"), QStringLiteral("Interpret")),
        text(QStringLiteral("Laenge"), QStringLiteral("Laenge"), QStringLiteral("Länge")),
        text(QStringLiteral("View3DBColumn1Dateipfad"), QStringLiteral("Dateipfad"), none, true),
        text(QStringLiteral("View3DBColumn1fortlfnr"), QStringLiteral("fortlfnr"), none, true),
    };
    g.navigatorBar = true;
    g.columnsFitWidth = true;
    g.rowIndicator = false;
    g.footerSummaries = {{QStringLiteral("Liednr"), SummaryKind::Count}};
    g.groupSummaries = {{QStringLiteral("Liednr"), SummaryKind::Count}};
    g.groupFooters = GroupFooterMode::Always;
    return g;
}

} // namespace

DiscPage::DiscPage(DataModule* data, AppContext* context, QWidget* parent)
    : QWidget(parent)
    , m_data(data)
    , m_context(context)
{
    setObjectName(QStringLiteral("cxTabSheet2"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    cxSplitter4 = new CollapsibleSplitter(
        Qt::Vertical, 0, QStringLiteral("1x klick gross/klein - LM gedrückt halten/ziehen : verschieben"), this);
    cxSplitter4->setObjectName(QStringLiteral("cxSplitter4"));

    cxGroupBox5 = new QGroupBox(cxSplitter4);
    cxGroupBox5->setObjectName(QStringLiteral("cxGroupBox5"));
    auto* upper = new QVBoxLayout(cxGroupBox5);
    upper->setContentsMargins(2, 2, 2, 2);
    LMDProgress3 = new QProgressBar(cxGroupBox5);
    LMDProgress3->setObjectName(QStringLiteral("LMDProgress3"));
    LMDProgress3->setRange(0, 100);
    LMDProgress3->setValue(0);
    upper->addWidget(LMDProgress3);
    cxGrid2 = new CatalogueGrid(discGrid(data), data->DSarchiv00, cxGroupBox5);
    cxGrid2->setToolTip(QStringLiteral("Rechte Maustaste: Starten"));
    // The disc grid's own colours: a calm blue-grey body with a stronger selection.
    cxGrid2->view()->setStyleSheet(
        QStringLiteral("QTableView { background: #f4f7fb; alternate-background-color: #e8eef6; }"
                       "QTableView::item:selected { background: #3d6fa8; color: white; }"));
    cxGrid2->view()->setAlternatingRowColors(true);
    upper->addWidget(cxGrid2, 1);
    cxSplitter4->addWidget(cxGroupBox5);

    cxGroupBox6 = new QGroupBox(cxSplitter4);
    cxGroupBox6->setObjectName(QStringLiteral("cxGroupBox6"));
    auto* lower = new QVBoxLayout(cxGroupBox6);
    lower->setContentsMargins(2, 2, 2, 2);
    cxGrid3 = new CatalogueGrid(contentsGrid(), data->DSarchiv01, cxGroupBox6);
    cxGrid3->setToolTip(QStringLiteral("Rechte Maustaste: Starten"));
    lower->addWidget(cxGrid3, 1);
    cxSplitter4->addWidget(cxGroupBox6);
    cxSplitter4->setSizes({433, 300});
    layout->addWidget(cxSplitter4);
}

void DiscPage::dxBarButton12Click(QListWidget* ListBox2, QLabel* Label41)
{
    const QString temp = MediaPage::scanListFolder(m_context);
    deleteMatchingFiles(MediaList::clearMask(), temp);
    ListBox2->clear();
    LMDProgress3->setValue(0);

    // Every file of the disc counts, whatever the media page's file types say.
    const QString folder = m_context->dialogs->chooseFolder(QString());
    if (folder.isEmpty())
        return;

    LongRun run({m_data->MSarchiv00, m_data->MSarchiv01});
    try {
        const QStringList lines =
            ScanRun::collect(folder, QStringLiteral("*.*"), temp + MediaList::fileName(), ListBox2, Label41);
        DiscRecords records(m_data->MSarchiv00, m_data->MSarchiv01, m_context->clock->now().date());
        ScanRun::Progress progress(LMDProgress3, lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            progress.step(i);
            records.add(lines[i]);
        }
        progress.finish();
    } catch (...) {
        LMDProgress3->setValue(0);
        throw;
    }
}

void DiscPage::dxBarButton14Click()
{
    TableObject* files = m_data->MSarchiv01;
    if (files->recNo() < 0)
        return;
    const QString target =
        files->value(QStringLiteral("Dateipfad")).toString() + files->value(QStringLiteral("Titel")).toString();
    if (!target.isEmpty())
        m_context->shell->open(target);
}

void DiscPage::moveDoor(bool open)
{
    DriveDoor* door = m_context->driveDoor;
    if (!door)
        return;
    LongRun run;
    ScanRun::runAside([door, open] {
        if (open)
            door->open();
        else
            door->close();
    });
}

void DiscPage::dxBarButton15Click()
{
    moveDoor(true);
}

void DiscPage::dxBarButton16Click()
{
    moveDoor(false);
}
