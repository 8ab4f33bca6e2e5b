#include "images/ImagePage.h"

#include "data/DataModule.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/CollapsibleSplitter.h"
#include "gridtools/FieldBinding.h"
#include "gridtools/GridBuilder.h"
#include "gridtools/LongRun.h"
#include "gridtools/LookupCombo.h"
#include "gridtools/NavigatorBar.h"
#include "images/ImportRun.h"
#include "images/Pictures.h"
#include "images/Preview.h"
#include "images/ResolutionRun.h"
#include "images/SelectionGallery.h"
#include "platform/CodePage.h"
#include "platform/CommandGuard.h"
#include "platform/Context.h"
#include "platform/FileUrl.h"
#include "platform/Folders.h"
#include "platform/OrdnixError.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScopeGuard>
#include <QScreen>
#include <QSpinBox>
#include <QStackedLayout>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>

using namespace GridBuilder;

namespace {

const QString splitterHint = QStringLiteral("1x klick gross/klein - LM gedrückt halten/ziehen : verschieben");

GridDef imageGrid(DataModule* d)
{
    GridDef g;
    g.gridName = QStringLiteral("cxGrid1");
    g.viewName = QStringLiteral("View1");
    const QString none;
    g.columns = {
        text(QStringLiteral("Dateipfad"), QStringLiteral("Dateipfad")),
        text(QStringLiteral("Dateiname"), QStringLiteral("Dateiname")),
        text(QStringLiteral("Beschreibung"), QStringLiteral("Beschreibung")),
        text(QStringLiteral("Aufloesung"), QStringLiteral("Aufloesung"), QStringLiteral("Auflösung"), true),
        text(QStringLiteral("Groesse"), QStringLiteral("Groesse"), QStringLiteral("Größe"), true),
        text(QStringLiteral("Dateityp"), QStringLiteral("Dateityp"), none, true),
        lookup(QStringLiteral("Automarke"), QStringLiteral("Automarke"), none, d->MSTypen, {QStringLiteral("Typen")},
               true, QStringLiteral("AutomarkePropertiesNewLookupDisplayText")),
        lookup(QStringLiteral("SpezialUniversalProdukt"), QStringLiteral("SpezialUniversalProdukt"),
               QStringLiteral("Automodell"), d->MSSpezialProdukt,
               {QStringLiteral("SpezialUniversalProdukt"), QStringLiteral("Bemerkungen")}, true,
               QStringLiteral("SpezialUniversalProduktPropertiesNewLookupDisplayText")),
        fixedList(QStringLiteral("FeinGrobDaten"), QStringLiteral("FeinGrobDaten"), QStringLiteral("FeinGrob"),
                  {QStringLiteral("Feindaten"), QStringLiteral("Grobdaten")}),
        lookup(QStringLiteral("Produktgruppe"), QStringLiteral("Produktgruppe"), none, d->MSProduktbezeichnung,
               {QStringLiteral("Produktbez"), QStringLiteral("Beschreibung")}, true,
               QStringLiteral("ProduktgruppePropertiesNewLookupDisplayText")),
        lookup(QStringLiteral("Produktbildvariante"), QStringLiteral("Produktbildvariante"), none,
               d->MSProduktbildvariante, {QStringLiteral("Produktbildvariante")}, true,
               QStringLiteral("ProduktbildvariantePropertiesNewLookupDisplayText")),
        fixedList(QStringLiteral("Erstausruestung"), QStringLiteral("Erstausruestung"), QStringLiteral("Fundus"),
                  {QStringLiteral("Erstausrüstung"), QStringLiteral("Nachrüstung")}),
        lookup(QStringLiteral("Sonstiges"), QStringLiteral("Sonstiges"), none, d->MSSonstiges,
               {QStringLiteral("Sonstiges")}, true, QStringLiteral("SonstigesPropertiesNewLookupDisplayText")),
        // Hidden at start; a typed value grows the list like the details editor of the same field.
        lookup(QStringLiteral("Sonstiges1"), QStringLiteral("Sonstiges1"), none, d->MSSonstiges,
               {QStringLiteral("Sonstiges")}, true, QStringLiteral("SonstigesPropertiesNewLookupDisplayText"), true),
        memo(QStringLiteral("Hinweise"), QStringLiteral("Hinweise"), none, true),
        text(QStringLiteral("Thumbname"), QStringLiteral("Thumbname"), none, true),
        text(QStringLiteral("Erstelldatum"), QStringLiteral("erstelldatum"), QStringLiteral("Erstelldatum")),
        text(QStringLiteral("letzteAenderung"), QStringLiteral("letzteAenderung"), QStringLiteral("letzte Änderung am"),
             true),
        text(QStringLiteral("letzterZugriff"), QStringLiteral("letzterZugriff"), QStringLiteral("letzter Zugriff"),
             true),
        text(QStringLiteral("fortlfnr"), QStringLiteral("fortlfnr"), none, true),
    };
    g.sort = {{QStringLiteral("SpezialUniversalProdukt"), Qt::AscendingOrder},
              {QStringLiteral("FeinGrobDaten"), Qt::AscendingOrder}};
    g.alwaysShowEditButtons = true;
    g.footerSummaries = {{QStringLiteral("Dateiname"), SummaryKind::Count}};
    g.groupSummaries = {{QStringLiteral("Dateiname"), SummaryKind::Count}};
    g.groupSummaryLinks = {QStringLiteral("Dateipfad"),       QStringLiteral("Aufloesung"),
                           QStringLiteral("Groesse"),         QStringLiteral("Dateityp"),
                           QStringLiteral("Automarke"),       QStringLiteral("FeinGrobDaten"),
                           QStringLiteral("Erstausruestung"), QStringLiteral("SpezialUniversalProdukt"),
                           QStringLiteral("Produktgruppe")};
    g.groupFooters = GroupFooterMode::WhileExpanded;
    return g;
}

QList<NavButtonSpec> recordNavigatorButtons()
{
    auto entry = [](NavButton kind, const char* name, const char* hint, bool repeat = false) {
        return NavButtonSpec{kind, QLatin1String(name), QString::fromUtf8(hint), repeat};
    };
    return {
        entry(NavButton::First, "abcnpFirst1", "First|Move to the first record"),
        entry(NavButton::JumpBack, "abcnpJumpBack1", "Jump Back|Move back 10 records (hold down to repeat)", true),
        entry(NavButton::Prior, "abcnpPrev1", "Previous|Move back to previous record (hold down to accelerate)", true),
        entry(NavButton::Next, "abcnpNext1", "Next|Move forward to next record (hold down to accelerate)", true),
        entry(NavButton::JumpForward, "abcnpJumpFwd1", "Jump Forward|Move forward 10 records (hold down to repeat)",
              true),
        entry(NavButton::Last, "abcnpLast1", "Last|Move to last record"),
        entry(NavButton::Append, "abcnpInsert1", "Append New Record|Add a new record after the last record"),
        entry(NavButton::Edit, "abcnpEdit1", "Edit|Edit the current record"),
        entry(NavButton::Delete, "abcnpDelete1", "Delete|Delete the current record"),
        entry(NavButton::Cancel, "abcnpCancel1",
              "Cancel Changes|Cancel new or changed record updates without saving changes"),
        entry(NavButton::Post, "abcnpPost1", "Save Changes|Save new or changed records to the database"),
        entry(NavButton::Refresh, "abcnpRefresh1", "Refresh Records|Refresh the screen display from the database"),
    };
}

// A picture scaled proportionally to fit the box, never enlarged.
QPixmap fitted(const QImage& image, const QSize& box)
{
    if (image.width() <= box.width() && image.height() <= box.height())
        return QPixmap::fromImage(image);
    return QPixmap::fromImage(image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void writeListFile(const QString& path, const QStringList& lines)
{
    QSaveFile file(path);
    const QByteArray bytes = CodePage::encodeListFile(lines);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw OrdnixError(
            QStringLiteral("Die Liste „%1“ kann nicht geschrieben werden: %2").arg(path, file.errorString()));
}

QLabel* label(const QString& name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

ImagePage::ImagePage(DataModule* data, AppContext* context, QWidget* parent)
    : QWidget(parent)
    , m_data(data)
    , m_context(context)
    , m_binding(new FieldBinding(data->MSBild, this))
{
    Pictures::registerReaders();
    setObjectName(QStringLiteral("cxTabSheet1"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* panel2 = new QWidget(this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setAutoFillBackground(true);
    QPalette pal = panel2->palette();
    pal.setColor(QPalette::Window, QColor(217, 232, 240));
    panel2->setPalette(pal);
    outer->addWidget(panel2);
    auto* layout = new QVBoxLayout(panel2);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(4);

    // Navigator strip
    auto* strip = new QWidget(panel2);
    strip->setObjectName(QStringLiteral("abcNavPanel2Strip"));
    strip->setFixedHeight(41);
    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    abcNavPanel2 = new NavigatorBar(data->MSBild, recordNavigatorButtons(), strip);
    abcNavPanel2->setObjectName(QStringLiteral("abcNavPanel2"));
    stripLayout->addWidget(abcNavPanel2);
    SpinEdit1 = new QSpinBox(strip);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(1, 25);
    SpinEdit1->setValue(5);
    SpinEdit1->setToolTip(QStringLiteral("Max. Anzahl Bilder/Seite"));
    stripLayout->addWidget(SpinEdit1);
    LMDProgress1 = new QProgressBar(strip);
    LMDProgress1->setObjectName(QStringLiteral("LMDProgress1"));
    LMDProgress1->setRange(0, 100);
    LMDProgress1->setTextVisible(true);
    LMDProgress1->setMinimumWidth(250);
    LMDProgress1->hide();
    stripLayout->addWidget(LMDProgress1);
    stripLayout->addStretch(1);
    layout->addWidget(strip);

    // Upper area: the image grid
    cxSplitter1 = new CollapsibleSplitter(Qt::Vertical, 0, splitterHint, panel2);
    cxSplitter1->setObjectName(QStringLiteral("cxSplitter1"));
    cxGroupBox1 = new QGroupBox(cxSplitter1);
    cxGroupBox1->setObjectName(QStringLiteral("cxGroupBox1"));
    auto* gridLayout = new QVBoxLayout(cxGroupBox1);
    gridLayout->setContentsMargins(2, 2, 2, 2);
    cxGrid1 = new CatalogueGrid(imageGrid(data), data->DSBild, cxGroupBox1);
    cxGrid1->setToolTip(QStringLiteral("RM : selektierte Datensätze anzeigen"));
    gridLayout->addWidget(cxGrid1);
    cxSplitter1->addWidget(cxGroupBox1);

    // Lower area: thumbnail | details, languages or large picture
    cxSplitter3 = new CollapsibleSplitter(Qt::Horizontal, 0, splitterHint, cxSplitter1);
    cxSplitter3->setObjectName(QStringLiteral("cxSplitter3"));
    cxGroupBox2 = new QGroupBox(cxSplitter3);
    cxGroupBox2->setObjectName(QStringLiteral("cxGroupBox2"));
    auto* thumbLayout = new QVBoxLayout(cxGroupBox2);
    Image1 = new QLabel(cxGroupBox2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setMinimumSize(160, 120);
    Image1->setToolTip(QStringLiteral("Zoom gross: Mit linker Maustaste in Bild klicken!"));
    thumbLayout->addWidget(Image1, 1);
    SpeedButton1 = new QPushButton(QStringLiteral("zus. Info an/aus"), cxGroupBox2);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setToolTip(QStringLiteral("zusätzliche Infos wie z.B. andere Sprachen werden angezeigt"));
    thumbLayout->addWidget(SpeedButton1);
    cxSplitter3->addWidget(cxGroupBox2);

    Panel1 = new QWidget(cxSplitter3);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    m_rightStack = new QStackedLayout(Panel1);
    m_rightStack->addWidget(buildDetails());
    m_rightStack->addWidget(buildLanguages());
    Image2 = new QLabel(Panel1);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setAlignment(Qt::AlignCenter);
    // The picture follows the panel's size; it never holds the panel (or the window) at its own.
    Image2->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    Image2->setToolTip(QStringLiteral("Zoom klein: Mit linker Maustaste in Bild klicken!"));
    m_rightStack->addWidget(Image2);
    ListBox1 = new QListWidget(Panel1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->hide();
    cxSplitter3->addWidget(Panel1);
    cxSplitter3->setStretchFactor(1, 1);
    cxSplitter3->setSizes({189, 900});

    cxSplitter1->addWidget(cxSplitter3);
    cxSplitter1->setStretchFactor(0, 1);
    cxSplitter1->setSizes({372, 400});
    layout->addWidget(cxSplitter1, 1);

    // Status line: user, summary of the current image row, date and time
    LMDStatusBar1 = new QWidget(panel2);
    LMDStatusBar1->setObjectName(QStringLiteral("LMDStatusBar1"));
    auto* statusLayout = new QHBoxLayout(LMDStatusBar1);
    statusLayout->setContentsMargins(4, 2, 4, 2);
    statusUser = label(QStringLiteral("LMDStatusBar1User"), loginName(), LMDStatusBar1);
    statusSummary = label(QStringLiteral("LMDStatusBar1Summary"), QString(), LMDStatusBar1);
    statusSummary->setAlignment(Qt::AlignCenter);
    QFont serif(QStringLiteral("Serif"));
    serif.setStyleHint(QFont::Serif);
    statusSummary->setFont(serif);
    statusSummary->setStyleSheet(QStringLiteral("color: #0000c0;"));
    statusSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusClock = label(QStringLiteral("LMDStatusBar1Clock"), QString(), LMDStatusBar1);
    for (QLabel* l : {statusUser, statusClock})
        l->setFrameShape(QFrame::StyledPanel);
    statusLayout->addWidget(statusUser);
    statusLayout->addWidget(statusSummary, 1);
    statusLayout->addWidget(statusClock);
    layout->addWidget(LMDStatusBar1);

    // The preview follows clicks, the start of editing and the navigator, not keyboard moves.
    connect(cxGrid1, &CatalogueGrid::cellClicked, this, [this] { CommandGuard::run([this] { View1CellClick(); }); });
    connect(cxGrid1, &CatalogueGrid::keyPressed, this, [this] { View1KeyDown(); });
    cxGrid1->view()->viewport()->installEventFilter(this);
    connect(abcNavPanel2, &NavigatorBar::clicked, this, [this](NavButton kind) {
        switch (kind) {
        case NavButton::First:
        case NavButton::JumpBack:
        case NavButton::Next:
        case NavButton::JumpForward:
        case NavButton::Last:
            CommandGuard::run([this] { abcnpNext1Click(); });
            break;
        case NavButton::Prior:
            CommandGuard::run([this] { abcnpPrev1Click(); });
            break;
        default:
            break;
        }
    });
    abcNavPanel2->installEventFilter(this);
    Image1->installEventFilter(this);
    Image2->installEventFilter(this);
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { CommandGuard::run([this] { SpeedButton1Click(); }); });
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this] { SpinEdit1Change(); });

    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &ImagePage::updateClock);
    clock->start(1000);
    updateClock();
}

QWidget* ImagePage::buildDetails()
{
    cxGroupBox3 = new QGroupBox(Panel1);
    cxGroupBox3->setObjectName(QStringLiteral("cxGroupBox3"));
    auto* grid = new QGridLayout(cxGroupBox3);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    grid->addLayout(form, 0, 0);
    DataModule* d = m_data;

    auto addText = [&](const char* labelName, const char* caption, const char* field) {
        auto* edit = new QLineEdit(cxGroupBox3);
        edit->setObjectName(QStringLiteral("cxDBTextEdit") + QLatin1String(field));
        m_binding->bindLineEdit(edit, QLatin1String(field));
        form->addRow(label(QLatin1String(labelName), QString::fromUtf8(caption), cxGroupBox3), edit);
    };
    auto addLookup = [&](const char* labelName, const char* caption, const char* field, TableObject* list,
                         QStringList columns, const char* handler) {
        auto* combo = new LookupCombo({list, columns, false, QLatin1String(handler)}, cxGroupBox3);
        combo->setObjectName(QStringLiteral("cxDBLookupComboBox") + QLatin1String(field));
        m_binding->bindCombo(combo, QLatin1String(field));
        form->addRow(label(QLatin1String(labelName), QString::fromUtf8(caption), cxGroupBox3), combo);
    };
    auto addFixed = [&](const char* labelName, const char* caption, const char* field, QStringList items) {
        auto* combo = new QComboBox(cxGroupBox3);
        combo->setObjectName(QStringLiteral("cxDBComboBox") + QLatin1String(field));
        combo->addItems(items);
        m_binding->bindCombo(combo, QLatin1String(field));
        form->addRow(label(QLatin1String(labelName), QString::fromUtf8(caption), cxGroupBox3), combo);
    };

    addText("LabelDateiname", "Dateiname :", "Dateiname");
    addText("LabelBeschreibung", "Beschreibung :", "Beschreibung");
    addText("LabelAufloesung", "Auflösung :", "Aufloesung");
    addText("LabelGroesse", "Größe :", "Groesse");
    addText("LabelDateityp", "Dateityp :", "Dateityp");
    addLookup("Label13", "Automarke :", "Automarke", d->MSTypen, {QStringLiteral("Typen")},
              "AutomarkePropertiesNewLookupDisplayText");
    addLookup("Label5", "Automodell :", "SpezialUniversalProdukt", d->MSSpezialProdukt,
              {QStringLiteral("SpezialUniversalProdukt")}, "SpezialUniversalProduktPropertiesNewLookupDisplayText");
    addFixed("LabelFeinGrobDaten", "Fein/Grobdaten :", "FeinGrobDaten",
             {QStringLiteral("Feindaten"), QStringLiteral("Grobdaten")});
    addLookup("Label3", "Produktbildvariante :", "Produktbildvariante", d->MSProduktbildvariante,
              {QStringLiteral("Produktbildvariante")}, "ProduktbildvariantePropertiesNewLookupDisplayText");
    addLookup("Label4", "Produktgruppe :", "Produktgruppe", d->MSProduktbezeichnung,
              {QStringLiteral("Produktbez"), QStringLiteral("Beschreibung")},
              "ProduktgruppePropertiesNewLookupDisplayText");
    addFixed("LabelErstausruestung", "Fundus :", "Erstausruestung",
             {QStringLiteral("Erstausrüstung"), QStringLiteral("Nachrüstung")});
    addLookup("Label7", "Sonstiges 1 :", "Sonstiges", d->MSSonstiges, {QStringLiteral("Sonstiges")},
              "SonstigesPropertiesNewLookupDisplayText");
    addLookup("Label20", "Sonstiges 2 :", "Sonstiges1", d->MSSonstiges, {QStringLiteral("Sonstiges")},
              "SonstigesPropertiesNewLookupDisplayText");

    auto* notes = new QVBoxLayout;
    notes->addWidget(label(QStringLiteral("LabelHinweise"), QStringLiteral("Hinweise :"), cxGroupBox3));
    auto* memo = new QPlainTextEdit(cxGroupBox3);
    memo->setObjectName(QStringLiteral("cxDBMemoHinweise"));
    m_binding->bindMemo(memo, QStringLiteral("Hinweise"));
    notes->addWidget(memo, 1);
    grid->addLayout(notes, 0, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return cxGroupBox3;
}

QWidget* ImagePage::buildLanguages()
{
    Panel3 = new QWidget(Panel1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    auto* grid = new QGridLayout(Panel3);
    const std::pair<const char*, const char*> languages[] = {
        {"deutsch :", "dt"}, {"englisch :", "engl"}, {"franz :", "franz"}, {"ital :", "ital"}, {"span :", "span"}};
    int i = 0;
    for (const auto& [caption, field] : languages) {
        auto* memo = new QPlainTextEdit(Panel3);
        memo->setObjectName(QStringLiteral("cxDBMemo") + QLatin1String(field));
        m_binding->bindMemo(memo, QLatin1String(field));
        grid->addWidget(new QLabel(QLatin1String(caption), Panel3), (i / 3) * 2, i % 3);
        grid->addWidget(memo, (i / 3) * 2 + 1, i % 3);
        ++i;
    }
    auto* chin = new QLabel(Panel3);
    chin->setObjectName(QStringLiteral("cxDBImagechin"));
    chin->setFrameShape(QFrame::StyledPanel);
    chin->setMinimumSize(120, 60);
    m_binding->bindPicture(chin, QStringLiteral("chin"));
    grid->addWidget(new QLabel(QStringLiteral("chin :"), Panel3), 2, 2);
    grid->addWidget(chin, 3, 2);
    return Panel3;
}

void ImagePage::showRightArea(RightArea area)
{
    switch (area) {
    case RightArea::Details:
        m_rightStack->setCurrentWidget(cxGroupBox3);
        break;
    case RightArea::Languages:
        m_rightStack->setCurrentWidget(Panel3);
        break;
    case RightArea::Picture:
        m_rightStack->setCurrentWidget(Image2);
        break;
    }
}

ImagePage::RightArea ImagePage::rightArea() const
{
    QWidget* current = m_rightStack->currentWidget();
    if (current == Panel3)
        return RightArea::Languages;
    if (current == Image2)
        return RightArea::Picture;
    return RightArea::Details;
}

QString ImagePage::statusSummaryText(DataModule* data)
{
    return Preview::statusLine(data->MSBild);
}

QString ImagePage::thumbnailPath(const QString& dateipfad, const QString& thumbname)
{
    return fileUrlToPath(dateipfad + QLatin1String("/thumbnail/") + thumbname);
}

void ImagePage::showCurrentRow()
{
    TableObject* t = m_data->MSBild;
    // A long run moves through many records; the preview follows once it has ended.
    if (t->controlsDisabled())
        return;
    if (t->isEmpty()) {
        statusSummary->clear();
        Image1->clear();
        return;
    }
    statusSummary->setText(statusSummaryText(m_data));
    BuildPreviewPaths();
    const QString path = Pictures::findPicture(PreviewThumbnailPath);
    QImage thumbnail;
    if (QFileInfo(path).isFile())
        thumbnail = QImageReader(path).read();
    if (thumbnail.isNull())
        Image1->clear();
    else
        Image1->setPixmap(fitted(thumbnail, Image1->contentsRect().size().expandedTo(QSize(185, 120))));
}

void ImagePage::BuildPreviewPaths()
{
    const Preview::Paths paths = Preview::BuildPreviewPaths(m_data->MSBild);
    PreviewPicturePath = paths.picture;
    PreviewThumbnailPath = paths.thumbnail;
}

void ImagePage::loadThumbnail(bool quiet)
{
    const Pictures::Loaded loaded = Pictures::loadPicture(PreviewThumbnailPath);
    if (!loaded.error.isEmpty() && quiet) {
        Image1->clear();
        return;
    }
    if (!loaded.error.isEmpty())
        throw OrdnixError(loaded.error);
    Image1->setPixmap(fitted(loaded.image, Image1->contentsRect().size().expandedTo(QSize(185, 120))));
}

void ImagePage::loadLargePicture()
{
    const Pictures::Loaded loaded = Pictures::loadPicture(PreviewPicturePath);
    if (!loaded.error.isEmpty())
        throw OrdnixError(loaded.error);
    showLargePicture(loaded.image);
}

void ImagePage::showLargePicture(const QImage& image)
{
    m_largeSize = image.size();
    // Kept no larger than the screen: enough to fit any panel again, without the memory of a
    // camera-sized picture.
    const QSize screen = this->screen() ? this->screen()->size() : QSize(1920, 1200);
    m_largeShown = image.width() > screen.width() || image.height() > screen.height()
                       ? image.scaled(screen, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                       : image;
    m_largeBox = QSize();
    fitLargePicture();
}

void ImagePage::fitLargePicture()
{
    const QSize box = Panel1->contentsRect().size().expandedTo(QSize(185, 120));
    if (m_largeShown.isNull() || box == m_largeBox)
        return;
    m_largeBox = box;
    Image2->setPixmap(fitted(m_largeShown, box));
}

void ImagePage::storeResolution(const QSize& size)
{
    TableObject* t = m_data->MSBild;
    cxGrid1->beginUpdate();
    const auto resume = qScopeGuard([this] { cxGrid1->endUpdate(); });
    t->edit();
    t->setValue(QStringLiteral("Aufloesung"), Preview::resolutionText(size));
    t->post();
}

void ImagePage::showRecord(Preview::Trigger trigger)
{
    TableObject* t = m_data->MSBild;
    if (!t->isActive() || t->isEmpty()) {
        statusSummary->clear();
        Image1->clear();
        return;
    }
    statusSummary->setText(Preview::statusLine(t));
    BuildPreviewPaths();
    // An error dialog would interrupt the editor the grid is opening; there an unreadable
    // thumbnail only leaves the preview empty.
    loadThumbnail(trigger == Preview::Trigger::Editing);
    const Preview::Steps steps = Preview::stepsFor(trigger, rightArea() == RightArea::Picture);
    QSize size;
    switch (steps.large) {
    case Preview::LargePicture::Keep:
        break;
    case Preview::LargePicture::Load:
        loadLargePicture();
        size = m_largeSize;
        break;
    case Preview::LargePicture::Header: {
        const Pictures::Measured measured = Pictures::measurePicture(PreviewPicturePath);
        if (!measured.error.isEmpty())
            throw OrdnixError(measured.error);
        size = measured.size;
        break;
    }
    }
    if (steps.storeResolution)
        storeResolution(size);
}

Preview::Views ImagePage::views() const
{
    const RightArea area = rightArea();
    const Preview::Area shown = area == RightArea::Picture     ? Preview::Area::Picture
                                : area == RightArea::Languages ? Preview::Area::Languages
                                                               : Preview::Area::Details;
    return {shown, m_context->values.ZoomActive};
}

void ImagePage::setViews(const Preview::Views& views)
{
    switch (views.area) {
    case Preview::Area::Details:
        cxGrid1->show();
        Image1->show();
        Panel1->show();
        cxGroupBox2->show();
        showRightArea(RightArea::Details);
        break;
    case Preview::Area::Languages:
        showRightArea(RightArea::Languages);
        break;
    case Preview::Area::Picture:
        showRightArea(RightArea::Picture);
        break;
    }
    m_context->values.ZoomActive = views.zoomActive;
}

void ImagePage::View1CellClick()
{
    showRecord(Preview::Trigger::CellClick);
}

void ImagePage::View1Editing()
{
    // Editing goes ahead whatever the preview makes of the record.
    showRecord(Preview::Trigger::Editing);
}

void ImagePage::abcnpNext1Click()
{
    showRecord(Preview::Trigger::Navigate);
}

void ImagePage::abcnpPrev1Click()
{
    showRecord(Preview::Trigger::Previous);
}

void ImagePage::Image1Click()
{
    const Preview::Views now = views();
    if (!Preview::zoomOpens(now)) {
        setViews(Preview::afterZoom(now));
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    // The views switch first; when a picture fails the flag stays off and the next zoom tries again.
    setViews({Preview::Area::Picture, false});
    BuildPreviewPaths();
    if (!m_data->MSBild->isEmpty()) {
        loadThumbnail();
        loadLargePicture();
    }
    m_context->values.ZoomActive = true;
}

void ImagePage::Image2Click()
{
    setViews(Preview::afterLargePictureClick(views()));
}

void ImagePage::SpeedButton1Click()
{
    setViews(Preview::afterExtraInfo(views()));
}

void ImagePage::SpinEdit1Change()
{
    m_context->values.ImagesPerPage = SpinEdit1->value();
}

bool ImagePage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && (watched == Image1 || watched == Image2) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == Image1)
            CommandGuard::run([this] { Image1Click(); });
        else
            CommandGuard::run([this] { Image2Click(); });
        return true;
    }
    if (watched == Image2 && event->type() == QEvent::Resize)
        fitLargePicture();
    if (watched == abcNavPanel2 && event->type() == QEvent::MouseButtonDblClick) {
        CommandGuard::run([this] { Image1Click(); });
        return true;
    }
    // The grid's in-place editors are made as children of its viewport.
    if (watched == cxGrid1->view()->viewport() && event->type() == QEvent::ChildAdded &&
        static_cast<QChildEvent*>(event)->child()->isWidgetType())
        CommandGuard::run([this] { View1Editing(); });
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Resolution run

void ImagePage::Bildauflsungberechnen1Click()
{
    TableObject* t = m_data->MSBild;
    LMDProgress1->setValue(0);
    LMDProgress1->show();
    // Also after a failure: the grid repaints again, the controls are back and the bar goes.
    const auto hideBar = qScopeGuard([this] {
        LMDProgress1->hide();
        LMDProgress1->setValue(0);
    });
    if (!t->isActive() || t->isEmpty())
        return;
    t->first();
    cxGrid1->beginUpdate();
    const auto resume = qScopeGuard([this] { cxGrid1->endUpdate(); });
    QString last;
    {
        LongRun bracket({t});
        QElapsedTimer sinceRepaint;
        sinceRepaint.start();
        ResolutionRun run(t, {[this, sinceRepaint](int percent) mutable {
                              if (LMDProgress1->value() == percent)
                                  return;
                              LMDProgress1->setValue(percent);
                              if (sinceRepaint.elapsed() >= 40) {
                                  LongRun::repaint();
                                  sinceRepaint.restart();
                              }
                          }});
        run.run();
        last = run.lastPicture();
    }
    t->first();
    // The large picture, when shown, is the last one measured.
    if (rightArea() == RightArea::Picture && !last.isEmpty()) {
        const Pictures::Loaded loaded = Pictures::loadPicture(last);
        if (loaded.error.isEmpty())
            showLargePicture(loaded.image);
    }
}

// ---------------------------------------------------------------------------------------------
// Selected records in the browser

void ImagePage::SelektierteDatenstzeimIEanzeigen1Click()
{
    scan.GallerySource = 2;
    ListBox1->clear();
    QStringList lines;
    for (int row : cxGrid1->selectedRows()) {
        auto v = [this, row](const char* column) { return cxGrid1->value(row, QLatin1String(column)); };
        lines.append(SelectionGallery::listLine(
            {v("Dateipfad"), v("Dateiname"), v("Beschreibung"), v("Groesse"), v("Aufloesung"), v("Thumbname")}));
    }
    lines.sort();
    ListBox1->addItems(lines);
    writeListFile(tempFolder() + QLatin1String("daten.txt"), lines);
    CreateHTML2();
}

void ImagePage::CreateHTML2()
{
    TableObject* t = m_data->MSBild;
    const QString folder = tempFolder();
    const ProgramValues& values = m_context->values;
    SelectionGallery::Run run;
    run.folder = folder;
    run.listFile = folder + QLatin1String("daten.txt");
    run.settings = {values.HtmlHeading, values.HtmlTableWidth, values.HtmlFontName};
    run.imagesPerPage = SpinEdit1->value();
    run.progress = [this](int percent) { LongRun::progress(LMDProgress1, percent); };

    std::optional<LongRun> bracket(std::in_place, QList<TableObject*>{t});
    // Page 1 is opened also after a failure, with the pages written up to it.
    const auto finish = [&] {
        if (m_context->shell)
            m_context->shell->open(GalleryPages::pageFile(folder, 1));
        LMDProgress1->hide();
        bracket.reset();
        if (!t->isEmpty())
            t->first();
    };
    LMDProgress1->setValue(0);
    LMDProgress1->show();
    try {
        run.CreateHTML2();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void ImagePage::updateClock()
{
    const QDateTime now = m_context->clock ? m_context->clock->now() : QDateTime::currentDateTime();
    statusClock->setText(now.toString(QStringLiteral("dd/MM/yy HH:mm:ss")));
}

// ---------------------------------------------------------------------------------------------
// Scan commands

void ImagePage::newopenClick()
{
    scanAll(true);
}

void ImagePage::OhneVorschauffnenalleDatenstze1Click()
{
    scanAll(false);
}

void ImagePage::ffnenselektierteDatenstze1Click()
{
    scanSelected(true);
}

void ImagePage::OhneVorschauffnenselektierteDatenstze1Click()
{
    scanSelected(false);
}

QStringList ImagePage::pickPictures(bool withPreview)
{
    Dialogs* dialogs = m_context->dialogs;
    return withPreview ? dialogs->openPictures(openDialogTitle(), Pictures::dialogFilter())
                       : dialogs->openFiles(QString());
}

const QString& ImagePage::tempFolder()
{
    // Set at every activation; a command before the first one uses the same place.
    QString& folder = m_context->values.TempFolder;
    if (folder.isEmpty()) {
        folder = m_context->paths.tempFolder;
        ensurePrivateFolder(folder);
    }
    return folder;
}

void ImagePage::scanAll(bool withPreview)
{
    scan.GallerySource = 0;
    scan.ThumbnailFolderName = QStringLiteral("thumbnail");
    const QStringList picked = pickPictures(withPreview);
    if (picked.isEmpty())
        return;
    const QFileInfo chosen(picked.first());
    scan.ChosenFolder = chosen.absolutePath() + QLatin1Char('/');
    scan.ChosenFile = chosen.absoluteFilePath();
    scan.PictureFolder = QFileInfo(scan.ChosenFile).absolutePath() + QLatin1Char('/');
    ensureFolder(scan.PictureFolder + scan.ThumbnailFolderName);
    CreateHTML1(scan.ChosenFolder + QLatin1String("image_1.htm"));
}

void ImagePage::scanSelected(bool withPreview)
{
    scan.GallerySource = 1;
    ListBox1->clear();
    scan.ThumbnailFolderName = QStringLiteral("thumbnail");
    const QStringList picked = pickPictures(withPreview);
    if (picked.isEmpty())
        return;
    QStringList names;
    for (const QString& file : picked) {
        const QFileInfo info(file);
        names.append(info.fileName());
        scan.ChosenFile = info.absoluteFilePath();
        scan.ChosenFolder = info.absolutePath() + QLatin1Char('/');
    }
    ImportRun::sortNames(names);
    ListBox1->addItems(names);
    scan.PictureFolder = QFileInfo(scan.ChosenFile).absolutePath() + QLatin1Char('/');
    ensureFolder(scan.PictureFolder + scan.ThumbnailFolderName);

    writeListFile(tempFolder() + QLatin1String("daten.txt"), names);
    CreateHTML1(scan.ChosenFolder + QLatin1String("image_1.htm"));
}

void ImagePage::CreateHTML1(const QString& pagePath)
{
    tempFolder();
    ImportRun::Hooks hooks;
    // The bar takes every value; the window is repainted some 25 times a second, not for each.
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    hooks.progress = [this, sinceRepaint](int percent) mutable {
        if (LMDProgress1->value() == percent)
            return;
        LMDProgress1->setValue(percent);
        if (sinceRepaint.elapsed() >= 40) {
            LongRun::repaint();
            sinceRepaint.restart();
        }
    };
    hooks.idle = [] { LongRun::repaint(); };
    hooks.thumbnailMade = [this](const QImage& thumbnail) { Image1->setPixmap(QPixmap::fromImage(thumbnail)); };
    ImportRun run(m_data->MSBild, scan, m_context->values, SpinEdit1->value(), hooks);

    LMDProgress1->setValue(0);
    LMDProgress1->show();
    // Also after a failure: once the grid and the cursor are back, the bar goes and the preview
    // shows the current record again.
    const auto finish = qScopeGuard([this] {
        LMDProgress1->hide();
        showCurrentRow();
    });
    LongRun bracket({m_data->MSBild});
    run.CreateHTML1(pagePath);
}
