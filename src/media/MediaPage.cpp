#include "media/MediaPage.h"

#include "data/DataModule.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/CollapsibleSplitter.h"
#include "gridtools/GridBuilder.h"
#include "gridtools/LongRun.h"
#include "media/MediaList.h"
#include "media/MediaRecords.h"
#include "media/ScanRun.h"
#include "platform/Context.h"
#include "platform/Folders.h"

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
        lookup(p + QLatin1String("Sonstiges"), QStringLiteral("Sonstiges"), none, d->MSTypen, {QStringLiteral("Typen")},
               false, QStringLiteral("cxGrid4DBTableView1SonstigesPropertiesNewLookupDisplayText")),
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
        text(p + QLatin1String("letzterZugriff"), QStringLiteral("letzterZugriff"),
             QStringLiteral("letzter Zugriff am"), true),
        text(p + QLatin1String("fortlfnr"), QStringLiteral("fortlfnr"), none, true),
    };
    g.navigatorBar = true;
    g.footerSummaries = {{p + QLatin1String("Dateipfad"), SummaryKind::Count},
                         {p + QLatin1String("Groesse"), SummaryKind::Sum}};
    g.groupSummaries = {{p + QLatin1String("Dateipfad"), SummaryKind::Count}};
    g.groupSummaryLinks = {p + QLatin1String("Dateipfad"), p + QLatin1String("Dateiname"),
                           p + QLatin1String("Dateityp"), p + QLatin1String("Sonstiges"),
                           p + QLatin1String("Sonstiges1")};
    g.groupFooters = GroupFooterMode::WhileExpanded;
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
    cxSplitter6 = new CollapsibleSplitter(
        Qt::Vertical, 0, QStringLiteral("1x klick gross/klein - LM gedrückt halten/ziehen : verschieben"), this);
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

QString MediaPage::scanListFolder(AppContext* context)
{
    const QString folder =
        context->values.TempFolder.isEmpty() ? context->paths.tempFolder : context->values.TempFolder;
    ensurePrivateFolder(folder);
    return folder;
}

void MediaPage::AlleMediendatenladen1Click()
{
    const QString temp = scanListFolder(m_context);
    deleteMatchingFiles(MediaList::clearMask(), temp);
    ListBox2->clear();
    LMDProgress2->setValue(0);

    TableObject* types = m_data->MSMediaTyp;
    const QString mask = types->recNo() >= 0 ? types->value(QStringLiteral("Dateityp")).toString() : QString();
    if (mask.isEmpty()) {
        m_context->dialogs->message(QStringLiteral("Sie müssen einen Dateityp auswählen !"));
        return;
    }
    const QString folder = m_context->dialogs->chooseFolder(QString());
    if (folder.isEmpty())
        return;

    LongRun run({m_data->MSMedia});
    try {
        const QStringList lines = ScanRun::collect(folder, mask, temp + MediaList::fileName(), ListBox2, Label41);
        MediaRecords records(m_data->MSMedia);
        ScanRun::Progress progress(LMDProgress2, lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            progress.step(i);
            records.add(lines[i]);
        }
        progress.finish();
    } catch (...) {
        // A scan that failed leaves no half-way percentage behind.
        LMDProgress2->setValue(0);
        LMDProgress2->hide();
        throw;
    }
}

void MediaPage::dxBarButton2Click()
{
    TableObject* media = m_data->MSMedia;
    if (media->recNo() < 0)
        return;
    const QString target =
        media->value(QStringLiteral("Dateipfad")).toString() + media->value(QStringLiteral("Dateiname")).toString();
    if (!target.isEmpty())
        m_context->shell->open(target);
}
