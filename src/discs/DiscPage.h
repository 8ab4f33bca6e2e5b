#pragma once

#include <QWidget>

class CatalogueGrid;
class CollapsibleSplitter;
class DataModule;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
struct AppContext;

// The disc catalogue page: the disc grid above, the contents of the current disc below.
class DiscPage : public QWidget
{
    Q_OBJECT

public:
    DiscPage(DataModule* data, AppContext* context, QWidget* parent = nullptr);

    // The disc scan after its page switch: a chosen folder (the disc) becomes one disc row with
    // its files as detail rows. It collects in the media page's ListBox2 and shows its count in
    // that page's Label41.
    void dxBarButton12Click(QListWidget* ListBox2, QLabel* Label41);
    // Hands the file of the current detail row to the desktop to open.
    void dxBarButton14Click();
    // Open and close the drive door; they return when the door has moved.
    void dxBarButton15Click();
    void dxBarButton16Click();

    CatalogueGrid* cxGrid2 = nullptr;
    CatalogueGrid* cxGrid3 = nullptr;
    QProgressBar* LMDProgress3 = nullptr;
    QGroupBox* cxGroupBox5 = nullptr;
    QGroupBox* cxGroupBox6 = nullptr;
    CollapsibleSplitter* cxSplitter4 = nullptr;

private:
    void moveDoor(bool open);

    DataModule* m_data;
    AppContext* m_context;
};
