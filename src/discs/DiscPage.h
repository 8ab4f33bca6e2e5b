#pragma once

#include <QWidget>

class CatalogueGrid;
class CollapsibleSplitter;
class DataModule;
class QGroupBox;
class QProgressBar;
struct AppContext;

// The disc catalogue page: the disc grid above, the contents of the current disc below.
class DiscPage : public QWidget
{
    Q_OBJECT

public:
    DiscPage(DataModule* data, AppContext* context, QWidget* parent = nullptr);

    CatalogueGrid* cxGrid2 = nullptr;
    CatalogueGrid* cxGrid3 = nullptr;
    QProgressBar* LMDProgress3 = nullptr;
    QGroupBox* cxGroupBox5 = nullptr;
    QGroupBox* cxGroupBox6 = nullptr;
    CollapsibleSplitter* cxSplitter4 = nullptr;

private:
    DataModule* m_data;
    AppContext* m_context;
};
