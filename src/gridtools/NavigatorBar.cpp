#include "gridtools/NavigatorBar.h"

#include "data/TableObject.h"
#include "platform/CommandGuard.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QToolButton>

namespace {

QString iconName(NavButton kind)
{
    switch (kind) {
    case NavButton::First:
        return QStringLiteral("go-first");
    case NavButton::JumpBack:
        return QStringLiteral("media-seek-backward");
    case NavButton::Prior:
        return QStringLiteral("go-previous");
    case NavButton::Next:
        return QStringLiteral("go-next");
    case NavButton::JumpForward:
        return QStringLiteral("media-seek-forward");
    case NavButton::Last:
        return QStringLiteral("go-last");
    case NavButton::Append:
        return QStringLiteral("list-add");
    case NavButton::Edit:
        return QStringLiteral("document-edit");
    case NavButton::Delete:
        return QStringLiteral("list-remove");
    case NavButton::Cancel:
        return QStringLiteral("edit-undo");
    case NavButton::Post:
        return QStringLiteral("document-save");
    case NavButton::Refresh:
        return QStringLiteral("view-refresh");
    }
    return {};
}

QString fallbackText(NavButton kind)
{
    static const char* texts[] = {"|◀", "◀◀", "◀", "▶", "▶▶", "▶|", "+", "✎", "−", "✗", "✓", "↻"};
    return QString::fromUtf8(texts[int(kind)]);
}

} // namespace

NavigatorBar::NavigatorBar(TableObject* table, const QList<NavButtonSpec>& buttons, QWidget* parent)
    : QWidget(parent)
    , m_table(table)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    for (const NavButtonSpec& entry : buttons) {
        auto* button = new QToolButton(this);
        button->setObjectName(entry.objectName);
        const QIcon icon = QIcon::fromTheme(iconName(entry.kind));
        if (icon.isNull())
            button->setText(fallbackText(entry.kind));
        else
            button->setIcon(icon);
        button->setAutoRaise(true);
        const qsizetype bar = entry.hint.indexOf(QLatin1Char('|'));
        button->setToolTip(bar < 0 ? entry.hint : entry.hint.left(bar));
        button->setStatusTip(bar < 0 ? entry.hint : entry.hint.mid(bar + 1));
        if (entry.autoRepeat) {
            button->setAutoRepeat(true);
            button->setAutoRepeatDelay(200);
            button->setAutoRepeatInterval(60);
        }
        const NavButton kind = entry.kind;
        connect(button, &QToolButton::clicked, this, [this, kind] { press(kind); });
        layout->addWidget(button);
        m_buttons.append({entry, button});
    }
    layout->addStretch(1);
    connect(m_table, &TableObject::currentRowChanged, this, &NavigatorBar::updateStates);
    connect(m_table, &TableObject::stateChanged, this, &NavigatorBar::updateStates);
    connect(m_table, &TableObject::controlsEnabledChanged, this, &NavigatorBar::updateStates);
    updateStates();
}

QToolButton* NavigatorBar::button(NavButton kind) const
{
    for (const auto& [entry, button] : m_buttons) {
        if (entry.kind == kind)
            return button;
    }
    return nullptr;
}

QList<NavButtonSpec> NavigatorBar::standardButtons(const QString& prefix)
{
    auto entry = [&](NavButton kind, const char* name, const char* hint) {
        return NavButtonSpec{kind, prefix + QLatin1String(name), QString::fromUtf8(hint)};
    };
    return {
        entry(NavButton::First, "First", "Erster Datensatz"),
        entry(NavButton::Prior, "Prior", "Vorheriger Datensatz"),
        entry(NavButton::Next, "Next", "Nächster Datensatz"),
        entry(NavButton::Last, "Last", "Letzter Datensatz"),
        entry(NavButton::Append, "Insert", "Datensatz anfügen"),
        entry(NavButton::Delete, "Delete", "Datensatz löschen"),
        entry(NavButton::Edit, "Edit", "Datensatz bearbeiten"),
        entry(NavButton::Post, "Post", "Änderungen speichern"),
        entry(NavButton::Cancel, "Cancel", "Änderungen verwerfen"),
        entry(NavButton::Refresh, "Refresh", "Daten neu laden"),
    };
}

void NavigatorBar::press(NavButton kind)
{
    CommandGuard::run([&] {
        if (!m_table->isActive())
            return;
        switch (kind) {
        case NavButton::First:
            m_table->first();
            break;
        case NavButton::JumpBack:
            m_table->moveBy(-10);
            break;
        case NavButton::Prior:
            m_table->prior();
            break;
        case NavButton::Next:
            m_table->next();
            break;
        case NavButton::JumpForward:
            m_table->moveBy(10);
            break;
        case NavButton::Last:
            m_table->last();
            break;
        case NavButton::Append:
            m_table->append();
            break;
        case NavButton::Edit:
            if (!m_table->isEmpty())
                m_table->edit();
            break;
        case NavButton::Delete:
            if (!m_table->isEmpty())
                m_table->deleteRecord();
            break;
        case NavButton::Cancel:
            m_table->cancel();
            break;
        case NavButton::Post:
            m_table->post();
            break;
        case NavButton::Refresh:
            m_table->refresh();
            break;
        }
        emit clicked(kind);
    });
}

void NavigatorBar::updateStates()
{
    const bool active = m_table->isActive() && !m_table->controlsDisabled();
    const bool editing = m_table->state() == TableObject::State::Edit || m_table->state() == TableObject::State::Insert;
    const int row = m_table->recNo();
    const int count = m_table->recordCount();
    for (const auto& [entry, button] : m_buttons) {
        bool enabled = active;
        switch (entry.kind) {
        case NavButton::First:
        case NavButton::JumpBack:
        case NavButton::Prior:
            enabled = enabled && (row > 0 || editing);
            break;
        case NavButton::Next:
        case NavButton::JumpForward:
        case NavButton::Last:
            enabled = enabled && (row < count - 1 || editing);
            break;
        case NavButton::Edit:
            enabled = enabled && !editing && !m_table->isEmpty();
            break;
        case NavButton::Delete:
            enabled = enabled && !m_table->isEmpty();
            break;
        case NavButton::Cancel:
        case NavButton::Post:
            enabled = enabled && editing;
            break;
        case NavButton::Append:
        case NavButton::Refresh:
            break;
        }
        button->setEnabled(enabled && !entry.alwaysDisabled);
    }
}
