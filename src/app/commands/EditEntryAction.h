#pragma once

#include <QString>
#include <QWidgetAction>

class QLineEdit;

// A menu entry that shows its caption beside a text box. The entry keeps the text the user last
// confirmed; confirming (Return, or leaving the box) a different text reports it, Esc brings the
// confirmed text back. Each menu that shows the entry gets its own label and box, and all of them
// follow the caption and the confirmed text.
class EditEntryAction : public QWidgetAction
{
    Q_OBJECT

public:
    explicit EditEntryAction(QObject* parent = nullptr);

    // The text last confirmed.
    QString value() const { return m_value; }
    // Sets the text without reporting it.
    void setValue(const QString& text);
    // Takes the text as the user's confirmation: reported when it differs from the last one.
    void confirmText(const QString& text);

signals:
    void confirmed(const QString& text);

protected:
    QWidget* createWidget(QWidget* parent) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void syncWidgets();

    QString m_value;
};
