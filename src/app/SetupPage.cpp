#include "app/SetupPage.h"

#include "app/CleanUp.h"
#include "data/DataModule.h"
#include "gridtools/CollapsibleSplitter.h"
#include "gridtools/FieldBinding.h"
#include "gridtools/NavigatorBar.h"
#include "platform/CommandGuard.h"
#include "platform/Context.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int editorWidth = 697;

QLabel* named(QLabel* label, const QString& name)
{
    label->setObjectName(name);
    return label;
}

} // namespace

SetupPage::SetupPage(DataModule* data, AppContext* context, QWidget* parent)
    : QWidget(parent)
    , m_data(data)
    , m_context(context)
    , m_binding(new FieldBinding(data->MSVariablen, this))
{
    setObjectName(QStringLiteral("cxTabSheet3"));
    m_binding->setAppendWhenEmpty(true);
    MSSQL1 = new SqlStatement(data, this);
    m_cleanUp = new CleanUp(data, MSSQL1, context->dialogs);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    // Only edit, post and cancel are usable; the paging buttons are shown disabled.
    auto entry = [](NavButton kind, const char* name, const char* hint, bool disabled = false) {
        return NavButtonSpec{kind, QLatin1String(name), QString::fromUtf8(hint), false, disabled};
    };
    cxDBNavigator1 = new NavigatorBar(data->MSVariablen,
                                      {entry(NavButton::First, "cxDBNavigator1First", "Erster Datensatz", true),
                                       entry(NavButton::Prior, "cxDBNavigator1Prior", "Vorheriger Datensatz", true),
                                       entry(NavButton::Next, "cxDBNavigator1Next", "Nächster Datensatz", true),
                                       entry(NavButton::Last, "cxDBNavigator1Last", "Letzter Datensatz", true),
                                       entry(NavButton::Edit, "cxDBNavigator1Edit", "Bearbeiten"),
                                       entry(NavButton::Post, "cxDBNavigator1Post", "Speichern"),
                                       entry(NavButton::Cancel, "cxDBNavigator1Cancel", "Abbrechen")},
                                      this);
    cxDBNavigator1->setObjectName(QStringLiteral("cxDBNavigator1"));

    cxSplitter5 = new CollapsibleSplitter(
        Qt::Vertical, 0, QStringLiteral("1x klick gross/klein - LM gedrückt halten/ziehen : verschieben"), this);
    cxSplitter5->setObjectName(QStringLiteral("cxSplitter5"));
    cxSplitter5->addWidget(cxDBNavigator1);

    PageControl1 = new QTabWidget(cxSplitter5);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(true);
    PageControl1->tabBar()->setExpanding(false);
    PageControl1->addTab(buildHtmlTab(), QStringLiteral("HTML"));
    PageControl1->addTab(buildCaptionTab("TabSheetBild", {{"Kategorie1 :", "a1"},
                                                          {"Kategorie2 :", "a2"},
                                                          {"Produktgruppe1 :", "a3"},
                                                          {"Produktgruppe2 :", "a4"},
                                                          {"Sonstiges1 :", "a5"},
                                                          {"Sonstiges2 :", "a6"}}),
                         QStringLiteral("Feldnamen - Bildverwaltung"));
    PageControl1->addTab(buildCaptionTab("TabSheetCD", {{"fortlf Nr :", "b1"},
                                                        {"Name :", "b2"},
                                                        {"Medium :", "b3"},
                                                        {"Kategorie :", "b4"},
                                                        {"Lagerort :", "b5"},
                                                        {"Lied Nr :", "c1"},
                                                        {"Titel :", "c2"},
                                                        {"Songtext :", "c3"},
                                                        {"Interpret :", "c4"},
                                                        {"Länge :", "c5"},
                                                        {"Freifeld 1 :", "b6"},
                                                        {"Freifeld 2 :", "b7"},
                                                        {"Freifeld3 :", "b8"}}),
                         QStringLiteral("Feldnamen - CD Verwaltung"));
    PageControl1->addTab(buildCaptionTab("TabSheetMedien", {{"Beschreibung :", "d1"},
                                                            {"Sonstiges :", "d2"},
                                                            {"Sonstiges1 :", "d3"},
                                                            {"Freifeld 1 :", "d4"},
                                                            {"Freifeld 2 :", "d5"},
                                                            {"Freifeld3 :", "d6"}}),
                         QStringLiteral("Feldnamen - Medien Verwaltung"));
    PageControl1->addTab(buildCleanUpTab(), QStringLiteral("Datenbereinigung"));
    cxSplitter5->addWidget(PageControl1);
    cxSplitter5->setCollapsible(1, false);
    cxSplitter5->setStretchFactor(1, 1);
    cxSplitter5->setSizes({cxDBNavigator1->sizeHint().height(), 800});
    layout->addWidget(cxSplitter5, 1);
}

SetupPage::~SetupPage()
{
    delete m_cleanUp;
}

QWidget* SetupPage::buildHtmlTab()
{
    auto* tab = new QWidget(PageControl1);
    tab->setObjectName(QStringLiteral("TabSheetHTML"));
    auto* grid = new QGridLayout(tab);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);

    auto* heading = new QLineEdit(tab);
    heading->setObjectName(QStringLiteral("cxDBTextEditWert"));
    heading->setFixedWidth(editorWidth);
    m_binding->bindLineEdit(heading, QStringLiteral("Wert"));
    grid->addWidget(new QLabel(QStringLiteral("Überschrift :"), tab), 0, 0, Qt::AlignRight);
    grid->addWidget(heading, 0, 1, 1, 2);

    tableWidth = new QSpinBox(tab);
    tableWidth->setObjectName(QStringLiteral("cxDBSpinEditHTMLBreite"));
    tableWidth->setRange(30, 100);
    tableWidth->setAlignment(Qt::AlignCenter);
    tableWidth->setFixedWidth(90);
    m_binding->bindSpinBox(tableWidth, QStringLiteral("HTMLBreite"));
    grid->addWidget(new QLabel(QStringLiteral("Tabellenbreite % :"), tab), 1, 0, Qt::AlignRight);
    grid->addWidget(tableWidth, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Grundwert =  65 %"), tab), 1, 2);

    fontName = new QLineEdit(tab);
    fontName->setObjectName(QStringLiteral("cxDBTextEditHTMLSchriftart"));
    m_binding->bindLineEdit(fontName, QStringLiteral("HTMLSchriftart"), true);
    SpeedButton2 = new QPushButton(QStringLiteral("Schriftart"), tab);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setToolTip(QStringLiteral("Schriftart festlegen"));
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { CommandGuard::run([this] { SpeedButton2Click(); }); });
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(fontName, 1);
    fontRow->addWidget(SpeedButton2);
    grid->addWidget(new QLabel(QStringLiteral("Schriftart :"), tab), 2, 0, Qt::AlignRight);
    grid->addLayout(fontRow, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Grundwert =  Times New Roman"), tab), 2, 2);
    return tab;
}

QWidget* SetupPage::buildCaptionTab(const char* name, const QList<std::pair<const char*, const char*>>& fields)
{
    auto* tab = new QWidget(PageControl1);
    tab->setObjectName(QLatin1String(name));
    auto* outer = new QVBoxLayout(tab);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    for (const auto& [caption, field] : fields) {
        auto* edit = new QLineEdit(tab);
        edit->setObjectName(QStringLiteral("cxDBTextEdit") + QLatin1String(field));
        edit->setFixedWidth(editorWidth);
        m_binding->bindLineEdit(edit, QLatin1String(field));
        form->addRow(new QLabel(QString::fromUtf8(caption), tab), edit);
    }
    outer->addLayout(form);
    outer->addStretch(1);
    return tab;
}

QGroupBox* SetupPage::radioGroup(const char* name, const char* caption, const QStringList& items,
                                 const QStringList& labels, int group, QWidget* parent)
{
    auto* box = new QGroupBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QLatin1String(name));
    auto* grid = new QGridLayout(box);
    auto* buttons = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        radio->setObjectName(QLatin1String(name) + QLatin1String("Item") + QString::number(i + 1));
        buttons->addButton(radio, i);
        grid->addWidget(radio, i, 0);
        auto* result = named(new QLabel(box), labels[i]);
        result->hide();
        grid->addWidget(result, i, 1);
    }
    grid->setColumnStretch(1, 1);
    connect(buttons, &QButtonGroup::idClicked, this, [this, group](int index) {
        CommandGuard::run([this, group, index] {
            if (group == 1)
                cxRadioGroup1Click(index);
            else if (group == 2)
                cxRadioGroup2Click(index);
            else
                cxRadioGroup3Click(index);
        });
    });
    return box;
}

QWidget* SetupPage::buildCleanUpTab()
{
    auto* tab = new QWidget(PageControl1);
    tab->setObjectName(QStringLiteral("TabSheetBereinigung"));
    auto* layout = new QVBoxLayout(tab);
    cxRadioGroup1 = radioGroup(
        "cxRadioGroup1", "Medien - Datenbänke löschen ",
        {QStringLiteral("Bildverwaltung"), QStringLiteral("DVD - CD Verwaltung"), QStringLiteral("Medien Verwaltung")},
        {QStringLiteral("cxLabel1"), QStringLiteral("cxLabel2"), QStringLiteral("cxLabel3")}, 1, tab);
    cxRadioGroup2 =
        radioGroup("cxRadioGroup2", "Bildverwaltung - Gruppen löschen ",
                   {QStringLiteral("Kategorie1"), QStringLiteral("Kategorie2"), QStringLiteral("Produktgruppe1"),
                    QStringLiteral("Produktgruppe2"), QStringLiteral("Sonstiges")},
                   {QStringLiteral("cxLabel5"), QStringLiteral("cxLabel4"), QStringLiteral("cxLabel6"),
                    QStringLiteral("cxLabel7"), QStringLiteral("cxLabel8")},
                   2, tab);
    cxRadioGroup3 =
        radioGroup("cxRadioGroup3", "DVD - Gruppen löschen ",
                   {QStringLiteral("Medium"), QStringLiteral("Kategorie"), QStringLiteral("Lagerort")},
                   {QStringLiteral("cxLabel9"), QStringLiteral("cxLabel10"), QStringLiteral("cxLabel11")}, 3, tab);
    for (QGroupBox* box : {cxRadioGroup1, cxRadioGroup2, cxRadioGroup3})
        layout->addWidget(box);
    layout->addStretch(1);
    return tab;
}

void SetupPage::SpeedButton2Click()
{
    // The dialog starts from the font last chosen in this run; whatever it holds when it closes
    // becomes the gallery font.
    const QString family = m_context->dialogs->chooseFont(m_lastFontFamily, m_lastFontSize);
    m_lastFontFamily = family;
    m_context->values.HtmlFontName = family;
    TableObject* settings = m_data->MSVariablen;
    if (settings->isEmpty())
        settings->append();
    else
        settings->edit();
    settings->setValue(QStringLiteral("HTMLSchriftart"), family.isEmpty() ? QStringLiteral("Times New Roman") : family);
    settings->post();
}

void SetupPage::runCleanUp(int group, int index)
{
    m_cleanUp->run(group, index, [this](const CleanUp::Result& result) {
        if (auto* label = findChild<QLabel*>(result.label)) {
            label->setText(result.text);
            label->show();
        }
    });
}

void SetupPage::cxRadioGroup1Click(int index)
{
    runCleanUp(1, index);
}

void SetupPage::cxRadioGroup2Click(int index)
{
    runCleanUp(2, index);
}

void SetupPage::cxRadioGroup3Click(int index)
{
    runCleanUp(3, index);
}
