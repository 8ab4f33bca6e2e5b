#include "app/MainWindow.h"

#include "app/Captions.h"
#include "app/PageCommands.h"
#include "app/SetupPage.h"
#include "app/commands/CommandTable.h"
#include "data/DataModule.h"
#include "discs/DiscPage.h"
#include "gridtools/CatalogueGrid.h"
#include "images/ImagePage.h"
#include "media/MediaPage.h"
#include "platform/CommandGuard.h"
#include "platform/Context.h"
#include "platform/Folders.h"

#include <QAction>
#include <QBuffer>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

MainWindow::MainWindow(DataModule* data, AppContext* context, QWidget* parent)
    : QMainWindow(parent)
    , m_data(data)
    , m_context(context)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Ordnix"));
    resize(1251, 884);

    m_commands = new CommandTable(this);

    cxPageControl1 = new QTabWidget(this);
    cxPageControl1->setObjectName(QStringLiteral("cxPageControl1"));
    cxPageControl1->setToolTip(QStringLiteral("Rechte Maustaste: weitere Details"));
    imagePage = new ImagePage(data, context, cxPageControl1);
    discPage = new DiscPage(data, context, cxPageControl1);
    mediaPage = new MediaPage(data, context, cxPageControl1);
    setupPage = new SetupPage(data, context, cxPageControl1);
    cxPageControl1->addTab(imagePage, QIcon::fromTheme(QStringLiteral("image-x-generic")),
                           QStringLiteral("Bild - Verwaltung"));
    cxPageControl1->addTab(discPage, QIcon::fromTheme(QStringLiteral("media-optical")),
                           QStringLiteral("CD - Verwaltung"));
    cxPageControl1->addTab(mediaPage, QIcon::fromTheme(QStringLiteral("folder-music")),
                           QStringLiteral("Medien - Verwaltung"));
    cxPageControl1->addTab(setupPage, QIcon::fromTheme(QStringLiteral("preferences-system")), QStringLiteral("Setup"));
    setCentralWidget(cxPageControl1);

    imagePage->cxGrid1->setContextMenu(m_commands->menu(QStringLiteral("dxBarPopupMenu1")));
    discPage->cxGrid2->setContextMenu(m_commands->menu(QStringLiteral("dxBarPopupMenu2")));
    discPage->cxGrid3->setContextMenu(m_commands->menu(QStringLiteral("dxBarPopupMenu5")));
    mediaPage->cxGrid4->setContextMenu(m_commands->menu(QStringLiteral("dxBarPopupMenu3")));
    mediaPage->cxGrid5->setContextMenu(m_commands->menu(QStringLiteral("dxBarPopupMenu4")));

    connect(cxPageControl1, &QTabWidget::currentChanged, this,
            [this] { CommandGuard::run([this] { cxPageControl1Change(); }); });
    connect(setupPage->PageControl1, &QTabWidget::currentChanged, this,
            [this] { CommandGuard::run([this] { PageControl1Change(); }); });

    bindCommands();
    FormCreate();
}

MainWindow::~MainWindow()
{
    emit destroying();
}

void MainWindow::bindCommands()
{
    CommandTable* c = m_commands;
    c->bind(QStringLiteral("actExitExecute"), [this] { actExitExecute(); });
    c->bind(QStringLiteral("Optionen1Click"), [this] { Optionen1Click(); });
    c->bind(QStringLiteral("dxBarLargeButton1Click"), [this] { dxBarLargeButton1Click(); });
    c->bind(QStringLiteral("dxBarButton10Click"), [this] { dxBarButton10Click(); });
    c->bind(QStringLiteral("dxBarButton9Click"), [this] { dxBarButton9Click(); });
    c->bind(QStringLiteral("Info1Click"), [this] { Info1Click(); });
    bindImageCommands(*this);
    bindDiscCommands(*this);
    bindMediaCommands(*this);
    bindGridCommands(*this);
    bindToolCommands(*this);
}

QString MainWindow::makerWebSite()
{
    return QStringLiteral("https://www.quorvel.de/");
}

void MainWindow::FormCreate()
{
    LayoutMemoryStream = new QBuffer(this);
    LayoutMemoryStream->setObjectName(QStringLiteral("LayoutMemoryStream"));
    LayoutMemoryStream->open(QIODevice::ReadWrite);
    // The look-and-feel storing switch starts down; its handler belongs to the layout store.
    if (QAction* storing = m_commands->action(QStringLiteral("miStoringGridLookFeel"));
        storing && !storing->isChecked())
        storing->trigger();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_activating) {
        m_activating = true;
        m_activatedOnce = true;
        CommandGuard::run([this] { FormActivate(); });
        m_activating = false;
    }
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Without a window manager the first showing may never bring an activation; the window is
    // prepared all the same.
    if (!m_activatedOnce) {
        QTimer::singleShot(0, this, [this] {
            if (!m_activatedOnce && isVisible()) {
                m_activatedOnce = true;
                CommandGuard::run([this] { FormActivate(); });
            }
        });
    }
}

void MainWindow::FormActivate()
{
    if (QMenu* media = m_commands->menu(QStringLiteral("Medialaden1")))
        media->menuAction()->setEnabled(false);
    if (QAction* button = m_commands->action(QStringLiteral("dxBarLargeButton6")))
        button->setEnabled(false);
    mediaPage->Label41->clear();
    variablelesen();
    for (QProgressBar* bar : {imagePage->LMDProgress1, mediaPage->LMDProgress2}) {
        bar->setValue(0);
        bar->hide();
    }
    m_context->values.ZoomActive = false;
    m_context->values.TempFolder = m_context->paths.tempFolder;
    ensurePrivateFolder(m_context->values.TempFolder);
    if (!m_data->MSBild->isEmpty())
        imagePage->showCurrentRow();
}

void MainWindow::cxPageControl1Change()
{
    m_commands->applyPageEnabling(cxPageControl1->currentIndex());
    variablelesen();
}

void MainWindow::PageControl1Change()
{
    variablelesen();
}

void MainWindow::variablelesen()
{
    ::variablelesen(m_data->MSVariablen, m_context->values, this, m_commands);
}

void MainWindow::Optionen1Click()
{
    m_data->MSVariablen->first();
    cxPageControl1->setCurrentIndex(SettingsPage);
}

void MainWindow::setLargeButtons(std::initializer_list<std::pair<int, bool>> states)
{
    for (const auto& [number, enabled] : states) {
        if (QAction* button = m_commands->action(QStringLiteral("dxBarLargeButton%1").arg(number)))
            button->setEnabled(enabled);
    }
}

void MainWindow::dxBarLargeButton1Click()
{
    cxPageControl1->setCurrentIndex(ImagesPage);
    setLargeButtons({{1, true}, {2, true}, {3, true}, {4, true}, {5, true}, {6, false}});
}

void MainWindow::dxBarButton10Click()
{
    setLargeButtons({{1, true}, {4, true}, {5, true}, {2, false}, {3, false}, {6, false}});
    m_context->shell->open(m_context->paths.helpPage);
}

void MainWindow::dxBarButton9Click()
{
    m_context->shell->open(makerWebSite());
}

void MainWindow::Info1Click()
{
    m_context->dialogs->about();
}

void MainWindow::actExitExecute()
{
    // Before the first activation there is no temporary folder, and nothing to remove.
    QString& folder = m_context->values.TempFolder;
    if (!folder.isEmpty()) {
        folder.chop(1);
        for (const char* mask : {"image_*.htm", "daten.txt", "media*.txt"})
            deleteMatchingFiles(QLatin1String(mask), folder);
    }
    delete LayoutMemoryStream;
    LayoutMemoryStream = nullptr;
    close();
}
