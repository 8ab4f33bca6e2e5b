#pragma once

#include <QMainWindow>

class CommandTable;
class DataModule;
class DiscPage;
class ImagePage;
class MediaPage;
class QBuffer;
class QTabWidget;
class SetupPage;
struct AppContext;

// The one window of the program: menus and toolbars above four pages. It prepares every
// activation, follows page changes and runs the window-wide commands; the pages own their
// widgets and the work of their catalogues.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum Page
    {
        ImagesPage = 0,
        DiscsPage = 1,
        MediaFilesPage = 2,
        SettingsPage = 3,
    };

    MainWindow(DataModule* data, AppContext* context, QWidget* parent = nullptr);
    ~MainWindow() override;

    DataModule* data() const { return m_data; }
    AppContext* context() const { return m_context; }
    CommandTable* commands() const { return m_commands; }

    QTabWidget* cxPageControl1 = nullptr;
    ImagePage* imagePage = nullptr;
    DiscPage* discPage = nullptr;
    MediaPage* mediaPage = nullptr;
    SetupPage* setupPage = nullptr;
    QBuffer* LayoutMemoryStream = nullptr; // the layout store's "memory" location

    void FormCreate();
    void FormActivate();
    void cxPageControl1Change();
    void PageControl1Change();
    void variablelesen();
    void Optionen1Click();
    void dxBarLargeButton1Click();
    void dxBarButton10Click();
    void dxBarButton9Click();
    void Info1Click();
    void actExitExecute();

    static QString makerWebSite();
    // Enables or disables the toolbar's large buttons by their number.
    void setLargeButtons(std::initializer_list<std::pair<int, bool>> states);

signals:
    // First thing when the window is destroyed, while all its components still exist.
    void destroying();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void bindCommands();

    DataModule* m_data;
    AppContext* m_context;
    CommandTable* m_commands = nullptr;
    bool m_activating = false;
    bool m_activatedOnce = false;
};
