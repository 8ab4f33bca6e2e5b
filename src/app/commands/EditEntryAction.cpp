#include "app/commands/EditEntryAction.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

EditEntryAction::EditEntryAction(QObject* parent)
    : QWidgetAction(parent)
{
    // Captions are renamed while the program runs; every shown label follows.
    connect(this, &QAction::changed, this, &EditEntryAction::syncWidgets);
}

void EditEntryAction::setValue(const QString& text)
{
    m_value = text;
    syncWidgets();
}

void EditEntryAction::confirmText(const QString& text)
{
    if (text == m_value)
        return;
    setValue(text);
    emit confirmed(text);
}

QWidget* EditEntryAction::createWidget(QWidget* parent)
{
    auto* box = new QWidget(parent);
    box->setObjectName(objectName());
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(4, 2, 4, 2);

    auto* label = new QLabel(box);
    auto* edit = new QLineEdit(box);
    label->setBuddy(edit);
    layout->addWidget(label);
    layout->addWidget(edit, 1);

    edit->setText(m_value);
    edit->installEventFilter(this);
    // Return and losing the focus both end the editing; an unchanged text reports nothing, so
    // Return followed by the menu closing counts once.
    connect(edit, &QLineEdit::editingFinished, this, [this, edit] { confirmText(edit->text()); });

    label->setText(text());
    box->setToolTip(statusTip());
    return box;
}

bool EditEntryAction::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        // Discard the typing; the key travels on so the menu still closes.
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            edit->setText(m_value);
    }
    return QWidgetAction::eventFilter(watched, event);
}

void EditEntryAction::syncWidgets()
{
    const auto widgets = createdWidgets();
    for (QWidget* box : widgets) {
        if (auto* label = box->findChild<QLabel*>())
            label->setText(text());
        if (auto* edit = box->findChild<QLineEdit*>(); edit && !edit->hasFocus())
            edit->setText(m_value);
        box->setToolTip(statusTip());
    }
}
