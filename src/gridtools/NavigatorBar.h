#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QToolButton;
class TableObject;

enum class NavButton
{
    First,
    JumpBack,
    Prior,
    Next,
    JumpForward,
    Last,
    Append,
    Edit,
    Delete,
    Cancel,
    Post,
    Refresh,
};

struct NavButtonSpec
{
    NavButton kind;
    QString objectName;
    QString hint; // "Short|Long": the part before the bar is the tool tip, the rest the status text
    bool autoRepeat = false;
    bool alwaysDisabled = false; // shown, never usable
};

// A row of buttons that move through and edit the records of one table object. Deleting does
// not ask first.
class NavigatorBar : public QWidget
{
    Q_OBJECT

public:
    NavigatorBar(TableObject* table, const QList<NavButtonSpec>& buttons, QWidget* parent = nullptr);

    QToolButton* button(NavButton kind) const;
    static QList<NavButtonSpec> standardButtons(const QString& prefix);

signals:
    // After the button's own move or edit; handlers that follow a navigator step listen here.
    void clicked(NavButton kind);

private:
    void press(NavButton kind);
    void updateStates();

    TableObject* m_table;
    QList<QPair<NavButtonSpec, QToolButton*>> m_buttons;
};
