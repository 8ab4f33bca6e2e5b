#pragma once

#include "images/ImportRun.h"

#include <QWidget>

class CatalogueGrid;
class CollapsibleSplitter;
class DataModule;
class FieldBinding;
class NavigatorBar;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QStackedLayout;
struct AppContext;

// The image catalogue page: navigator strip, image grid, thumbnail, detail editors, the
// extra-languages panel, the large picture and the status line.
class ImagePage : public QWidget
{
    Q_OBJECT

public:
    ImagePage(DataModule* data, AppContext* context, QWidget* parent = nullptr);

    CatalogueGrid* cxGrid1 = nullptr;
    NavigatorBar* abcNavPanel2 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QProgressBar* LMDProgress1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QGroupBox* cxGroupBox1 = nullptr;
    QGroupBox* cxGroupBox2 = nullptr;
    QGroupBox* cxGroupBox3 = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* Panel3 = nullptr;
    QListWidget* ListBox1 = nullptr;
    CollapsibleSplitter* cxSplitter1 = nullptr;
    CollapsibleSplitter* cxSplitter2 = nullptr;
    CollapsibleSplitter* cxSplitter3 = nullptr;
    QWidget* LMDStatusBar1 = nullptr;
    QLabel* statusUser = nullptr;
    QLabel* statusSummary = nullptr;
    QLabel* statusClock = nullptr;

    // Which of the three right-hand areas is shown.
    enum class RightArea
    {
        Details,
        Languages,
        Picture,
    };
    void showRightArea(RightArea area);
    RightArea rightArea() const;

    // The current image row's summary in the status line and its thumbnail in the preview; a
    // thumbnail that is missing or unreadable leaves the preview empty.
    void showCurrentRow();
    static QString statusSummaryText(DataModule* data);
    static QString thumbnailPath(const QString& dateipfad, const QString& thumbname);

    void updateClock();

    // The scan commands: every picture of the picked picture's folder, or the picked pictures;
    // "Mit Vorschau" with the open-picture dialog, "Ohne Vorschau" with the plain one.
    void newopenClick();
    void ffnenselektierteDatenstze1Click();
    void OhneVorschauffnenalleDatenstze1Click();
    void OhneVorschauffnenselektierteDatenstze1Click();
    // The import run over the chosen pictures, with the progress bar, wait cursor and grid
    // switched off while it works.
    void CreateHTML1(const QString& pagePath);

    // The title of the open-picture dialog.
    static QString openDialogTitle() { return QStringLiteral("Open Image"); }

    ScanState scan;

private:
    QWidget* buildDetails();
    QWidget* buildLanguages();
    void scanAll(bool withPreview);
    void scanSelected(bool withPreview);
    QStringList pickPictures(bool withPreview);
    const QString& tempFolder();

    DataModule* m_data;
    AppContext* m_context;
    FieldBinding* m_binding;
    QStackedLayout* m_rightStack = nullptr;
};
