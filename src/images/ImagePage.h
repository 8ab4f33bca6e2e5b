#pragma once

#include "images/ImportRun.h"
#include "images/Preview.h"

#include <QImage>
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
    // thumbnail that is missing or unreadable leaves the preview empty. Used after the runs and
    // at the window's activation, where a failing thumbnail reports nothing.
    void showCurrentRow();

    // The file paths of the current record's picture and thumbnail.
    void BuildPreviewPaths();
    QString PreviewPicturePath;
    QString PreviewThumbnailPath;

    // Showing the current record: the status line, the preview paths, the thumbnail and, as the
    // trigger asks, the large picture. A picture that cannot be read raises OrdnixError at that
    // step; what was done before it stays.
    void showRecord(Preview::Trigger trigger);
    Preview::Views views() const;

    // Handlers of the page's controls and commands.
    void View1CellClick();
    void View1Editing();
    void View1KeyDown() {}
    void abcnpNext1Click();
    void abcnpPrev1Click();
    void Image1Click();
    void Image2Click();
    void SpeedButton1Click();
    void SpinEdit1Change();
    void Bildauflsungberechnen1Click();
    void SelektierteDatenstzeimIEanzeigen1Click();
    // The gallery of the selected records from "daten.txt", opened in the browser at page 1,
    // also after a failure.
    void CreateHTML2();
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadThumbnail(bool quiet = false);
    void loadLargePicture();
    void showLargePicture(const QImage& image);
    void fitLargePicture();
    QSize largePictureSize();
    void storeResolution(const QSize& size);
    void setViews(const Preview::Views& views);
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
    QSize m_largeSize;   // of the picture last loaded into Image2
    QImage m_largeShown; // that picture at most screen-sized, scaled again when the panel resizes
    QSize m_largeBox;    // the box it was last fitted to
};
