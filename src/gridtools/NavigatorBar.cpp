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
    for (const NavButtonSpec& spec : buttons) {
        auto* button = new QToolButton(this);
        button->setObjectName(spec.objectName);
        const QIcon icon = QIcon::fromTheme(iconName(spec.kind));
        if (icon.isNull())
            button->setText(fallbackText(spec.kind));
        else
            button->setIcon(icon);
        button->setAutoRaise(true);
        const qsizetype bar = spec.hint.indexOf(QLatin1Char('|'));
        button->setToolTip(bar < 0 ? spec.hint : spec.hint.left(bar));
        button->setStatusTip(bar < 0 ? spec.hint : spec.hint.mid(bar + 1));
        if (spec.autoRepeat) {
            button->setAutoRepeat(true);
            button->setAutoRepeatDelay(200);
            button->setAutoRepeatInterval(60);
        }
        const NavButton kind = spec.kind;
        connect(button, &QToolButton::clicked, this, [this, kind] { press(kind); });
        layout->addWidget(button);
        m_buttons.append({spec, button});
    }
    layout->addStretch(1);
    connect(m_table, &TableObject::currentRowChanged, this, &NavigatorBar::updateStates);
    connect(m_table, &TableObject::stateChanged, this, &NavigatorBar::updateStates);
    connect(m_table, &TableObject::controlsEnabledChanged, this, &NavigatorBar::updateStates);
    updateStates();
}

QToolButton* NavigatorBar::button(NavButton kind) const
{
    for (const auto& [spec, button] : m_buttons) {
        if (spec.kind == kind)
            return button;
    }
    return nullptr;
}

QList<NavButtonSpec> NavigatorBar::standardButtons(const QString& prefix)
{
    auto spec = [&](NavButton kind, const char* name, const char* hint) {
        return NavButtonSpec{kind, prefix + QLatin1String(name), QString::fromUtf8(hint)};
    };
    return {
        spec(NavButton::First, "First", "Erster Datensatz"),
        spec(NavButton::Prior, "Prior", "Vorheriger Datensatz"),
        spec(NavButton::Next, "Next", "Nächster Datensatz"),
        spec(NavButton::Last, "Last", "Letzter Datensatz"),
        spec(NavButton::Append, "Insert", "Datensatz anfügen"),
        spec(NavButton::Delete, "Delete", "Datensatz löschen"),
        spec(NavButton::Edit, "Edit", "Datensatz bearbeiten"),
        spec(NavButton::Post, "Post", "Änderungen speichern"),
        spec(NavButton::Cancel, "Cancel", "Änderungen verwerfen"),
        spec(NavButton::Refresh, "Refresh", "Daten neu laden"),
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
    const bool editing =
        m_table->state() == TableObject::State::Edit || m_table->state() == TableObject::State::Insert;
    const int row = m_table->recNo();
    const int count = m_table->recordCount();
    for (const auto& [spec, button] : m_buttons) {
        bool enabled = active;
        switch (spec.kind) {
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
        button->setEnabled(enabled && !spec.alwaysDisabled);
    }
}
