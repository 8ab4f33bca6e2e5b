#pragma once

#include <QWidget>

class CleanUp;
class CollapsibleSplitter;
class DataModule;
class FieldBinding;
class NavigatorBar;
class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class SqlStatement;
struct AppContext;

// The setup page: the settings record's navigator, its editors on four tabs, and the clean-up
// commands on the fifth.
class SetupPage : public QWidget
{
    Q_OBJECT

public:
    SetupPage(DataModule* data, AppContext* context, QWidget* parent = nullptr);
    ~SetupPage() override;

    NavigatorBar* cxDBNavigator1 = nullptr;
    CollapsibleSplitter* cxSplitter5 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QLineEdit* fontName = nullptr;
    QPushButton* SpeedButton2 = nullptr;
    QSpinBox* tableWidth = nullptr;
    QGroupBox* cxRadioGroup1 = nullptr;
    QGroupBox* cxRadioGroup2 = nullptr;
    QGroupBox* cxRadioGroup3 = nullptr;
    SqlStatement* MSSQL1 = nullptr;

    void SpeedButton2Click();
    void cxRadioGroup1Click(int index);
    void cxRadioGroup2Click(int index);
    void cxRadioGroup3Click(int index);

private:
    QWidget* buildHtmlTab();
    QWidget* buildCaptionTab(const char* name, const QList<std::pair<const char*, const char*>>& fields);
    QWidget* buildCleanUpTab();
    QGroupBox* radioGroup(const char* name, const char* caption, const QStringList& items, const QStringList& labels,
                          int group, QWidget* parent);
    void runCleanUp(int group, int index);

    DataModule* m_data;
    AppContext* m_context;
    FieldBinding* m_binding;
    CleanUp* m_cleanUp;
    QString m_lastFontFamily = QStringLiteral("MS Sans Serif");
    int m_lastFontSize = 8;
};
