#pragma once

#include <QWidget>

class CatalogueGrid;
class CollapsibleSplitter;
class DataModule;
class QLabel;
class QListWidget;
class QProgressBar;
struct AppContext;

// The media-file catalogue page: the file types on top, the media files below.
class MediaPage : public QWidget
{
    Q_OBJECT

public:
    MediaPage(DataModule* data, AppContext* context, QWidget* parent = nullptr);

    // The media scan after its page switch: the files of the chosen type below a chosen folder
    // become Media records.
    void AlleMediendatenladen1Click();
    // Hands the current media record's file to the desktop to open.
    void dxBarButton2Click();

    // The temporary folder of the list files, there when this returns.
    static QString scanListFolder(AppContext* context);

    CatalogueGrid* cxGrid4 = nullptr;
    CatalogueGrid* cxGrid5 = nullptr;
    QProgressBar* LMDProgress2 = nullptr;
    QLabel* Label41 = nullptr;
    QWidget* Panel4 = nullptr;
    QListWidget* ListBox2 = nullptr;
    CollapsibleSplitter* cxSplitter6 = nullptr;

private:
    DataModule* m_data;
    AppContext* m_context;
};
