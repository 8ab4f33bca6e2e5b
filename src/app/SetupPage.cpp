#include "app/SetupPage.h"

#include "data/DataModule.h"
#include "gridtools/CollapsibleSplitter.h"
#include "gridtools/NavigatorBar.h"
#include "platform/Context.h"

#include <QTabWidget>
#include <QVBoxLayout>

SetupPage::SetupPage(DataModule* data, AppContext* context, QWidget* parent)
    : QWidget(parent)
    , m_data(data)
    , m_context(context)
{
    setObjectName(QStringLiteral("cxTabSheet3"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    // Only edit, post and cancel are usable; the paging buttons are shown disabled.
    auto spec = [](NavButton kind, const char* name, const char* hint, bool disabled = false) {
        return NavButtonSpec{kind, QLatin1String(name), QString::fromUtf8(hint), false, disabled};
    };
    cxDBNavigator1 = new NavigatorBar(data->MSVariablen,
                                      {spec(NavButton::First, "cxDBNavigator1First", "Erster Datensatz", true),
                                       spec(NavButton::Prior, "cxDBNavigator1Prior", "Vorheriger Datensatz", true),
                                       spec(NavButton::Next, "cxDBNavigator1Next", "Nächster Datensatz", true),
                                       spec(NavButton::Last, "cxDBNavigator1Last", "Letzter Datensatz", true),
                                       spec(NavButton::Edit, "cxDBNavigator1Edit", "Bearbeiten"),
                                       spec(NavButton::Post, "cxDBNavigator1Post", "Speichern"),
                                       spec(NavButton::Cancel, "cxDBNavigator1Cancel", "Abbrechen")},
                                      this);
    cxDBNavigator1->setObjectName(QStringLiteral("cxDBNavigator1"));

    cxSplitter5 = new CollapsibleSplitter(
        Qt::Vertical, 0, QStringLiteral("1x klick gross/klein - LM gedrückt halten/ziehen : verschieben"), this);
    cxSplitter5->setObjectName(QStringLiteral("cxSplitter5"));
    cxSplitter5->addWidget(cxDBNavigator1);

    PageControl1 = new QTabWidget(cxSplitter5);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(true);
    const char* tabs[][2] = {{"TabSheetHTML", "HTML"},
                             {"TabSheetBild", "Feldnamen - Bildverwaltung"},
                             {"TabSheetCD", "Feldnamen - CD Verwaltung"},
                             {"TabSheetMedien", "Feldnamen - Medien Verwaltung"},
                             {"TabSheetBereinigung", "Datenbereinigung"}};
    for (const auto& [name, caption] : tabs) {
        auto* tab = new QWidget(PageControl1);
        tab->setObjectName(QLatin1String(name));
        PageControl1->addTab(tab, QString::fromUtf8(caption));
    }
    cxSplitter5->addWidget(PageControl1);
    cxSplitter5->setStretchFactor(1, 1);
    layout->addWidget(cxSplitter5);
}
