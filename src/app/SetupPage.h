#pragma once

#include <QWidget>

class CollapsibleSplitter;
class DataModule;
class NavigatorBar;
class QTabWidget;
struct AppContext;

// The setup page: the settings record's navigator and its tabs.
class SetupPage : public QWidget
{
    Q_OBJECT

public:
    SetupPage(DataModule* data, AppContext* context, QWidget* parent = nullptr);

    NavigatorBar* cxDBNavigator1 = nullptr;
    CollapsibleSplitter* cxSplitter5 = nullptr;
    QTabWidget* PageControl1 = nullptr;

private:
    DataModule* m_data;
    AppContext* m_context;
};
