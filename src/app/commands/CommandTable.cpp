#include "app/commands/CommandTable.h"

#include "app/commands/CommandLayout.h"
#include "app/commands/EditEntryAction.h"
#include "platform/CommandGuard.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcutEvent>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString groupDivider = QStringLiteral("|");

// Without a desktop session (or on a platform that names no theme) the icons come from the
// freedesktop theme folders; a missing icon leaves the entry without one.
void ensureIconTheme()
{
    if (!QIcon::themeName().isEmpty())
        return;
    QIcon::setThemeName(QStringLiteral("Adwaita"));
    QStringList paths = QIcon::themeSearchPaths();
    const QStringList dataIcons = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                            QStringLiteral("icons"), QStandardPaths::LocateDirectory);
    for (const QString& folder : dataIcons) {
        if (!paths.contains(folder))
            paths.append(folder);
    }
    QIcon::setThemeSearchPaths(paths);
}

QIcon themeIcon(const QString& name)
{
    return name.isEmpty() ? QIcon() : QIcon::fromTheme(name);
}

} // namespace

CommandTable::CommandTable(QMainWindow* window)
    : QObject(window)
    , m_window(window)
{
    ensureIconTheme();
    createActions();
    createMenus();
    createToolBars();
}

const QList<CommandEntry>& CommandTable::entries()
{
    return CommandTables::entries();
}

void CommandTable::createActions()
{
    QHash<QString, QActionGroup*> groups;
    for (const CommandEntry& entry : entries()) {
        QAction* action = nullptr;
        if (entry.kind == CommandEntry::Kind::Edit) {
            auto* edit = new EditEntryAction(m_window);
            connect(edit, &EditEntryAction::confirmed, this,
                    [this, handler = entry.handler](const QString& text) { runTextHandler(handler, text); });
            action = edit;
        } else {
            action = new QAction(m_window);
        }
        action->setObjectName(entry.name);
        action->setText(entry.caption);
        action->setIcon(themeIcon(entry.icon));
        const QString hint = entry.effectiveHint();
        if (!hint.isEmpty()) {
            action->setToolTip(hint);
            action->setStatusTip(hint);
        }
        if (!entry.shortcut.isEmpty()) {
            action->setShortcut(entry.shortcut);
            action->installEventFilter(this);
        }
        if (entry.kind == CommandEntry::Kind::Check || entry.kind == CommandEntry::Kind::HandlerCheck) {
            action->setCheckable(true);
            action->setChecked(entry.checked);
        }
        if (!entry.group.isEmpty()) {
            QActionGroup*& group = groups[entry.group];
            if (!group) {
                group = new QActionGroup(m_window);
                group->setObjectName(entry.group);
            }
            group->addAction(action);
        }

        if (entry.kind == CommandEntry::Kind::HandlerCheck) {
            // Qt has already flipped the mark; the handler decides what it shows.
            connect(action, &QAction::triggered, this, [this, action, handler = entry.handler](bool checked) {
                action->setChecked(!checked);
                runHandler(handler);
            });
        } else if (entry.kind != CommandEntry::Kind::Edit && !entry.handler.isEmpty()) {
            connect(action, &QAction::triggered, this, [this, handler = entry.handler] { runHandler(handler); });
        }

        m_actions.insert(entry.name, action);
        m_handlerOf.insert(entry.name, entry.handler);
    }
}

void CommandTable::createMenus()
{
    const auto& containers = CommandTables::containers();

    // Every menu exists before any is filled, so a menu may hang a submenu declared after it.
    for (const CommandContainer& container : containers) {
        if (container.type == CommandContainer::Type::SubMenu || container.type == CommandContainer::Type::PopupMenu) {
            auto* menu = new QMenu(container.title, m_window);
            menu->setObjectName(container.name);
            menu->setToolTipsVisible(true);
            QAction* menuAction = menu->menuAction();
            menuAction->setObjectName(container.name);
            menuAction->setIcon(themeIcon(container.icon));
            if (!container.hint.isEmpty()) {
                menuAction->setToolTip(container.hint);
                menuAction->setStatusTip(container.hint);
            }
            menuAction->setEnabled(container.enabled);
            m_menus.insert(container.name, menu);
        } else if (container.type == CommandContainer::Type::MenuBar) {
            m_menuBar = new QMenuBar(m_window);
            m_menuBar->setObjectName(container.name);
            m_menuBar->setWindowTitle(container.title);
            m_menuBar->installEventFilter(this);
        }
    }

    for (const CommandContainer& container : containers) {
        QWidget* target = nullptr;
        if (container.type == CommandContainer::Type::MenuBar)
            target = m_menuBar;
        else if (container.type != CommandContainer::Type::ToolBar)
            target = m_menus.value(container.name);
        if (!target)
            continue;
        for (const QString& name : container.items) {
            if (name == groupDivider) {
                auto* divider = new QAction(target);
                divider->setSeparator(true);
                target->addAction(divider);
            } else if (QAction* entry = item(name)) {
                target->addAction(entry);
            } else {
                qWarning("CommandTable: %s names the unknown entry %s", qUtf8Printable(container.name),
                         qUtf8Printable(name));
            }
        }
    }

    m_window->setMenuBar(m_menuBar);
}

void CommandTable::createToolBars()
{
    for (const CommandContainer& container : CommandTables::containers()) {
        if (container.type != CommandContainer::Type::ToolBar)
            continue;
        auto* bar = new QToolBar(container.title, m_window);
        bar->setObjectName(container.name);
        bar->setIconSize(QSize(32, 32));
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        for (const QString& name : container.items) {
            if (name == groupDivider) {
                bar->addSeparator();
                continue;
            }
            QAction* action = m_actions.value(name);
            if (!action)
                continue;
            bar->addAction(action);
        }
        // All toolbars share one row below the menu bar.
        m_window->addToolBar(Qt::TopToolBarArea, bar);
        m_toolBars.insert(container.name, bar);
    }

    // A drop-down button: its main part runs the entry, its arrow opens the menu.
    for (const CommandEntry& entry : entries()) {
        if (entry.dropDown.isEmpty())
            continue;
        QAction* action = m_actions.value(entry.name);
        QMenu* dropDown = m_menus.value(entry.dropDown);
        for (QObject* shown : action->associatedObjects()) {
            auto* bar = qobject_cast<QToolBar*>(shown);
            auto* button = bar ? qobject_cast<QToolButton*>(bar->widgetForAction(action)) : nullptr;
            if (!button)
                continue;
            button->setMenu(dropDown);
            button->setPopupMode(QToolButton::MenuButtonPopup);
        }
    }
}

QAction* CommandTable::action(const QString& entry) const
{
    return m_actions.value(entry);
}

EditEntryAction* CommandTable::editEntry(const QString& entry) const
{
    return qobject_cast<EditEntryAction*>(m_actions.value(entry));
}

QMenu* CommandTable::menu(const QString& name) const
{
    return m_menus.value(name);
}

QToolBar* CommandTable::toolBar(const QString& name) const
{
    return m_toolBars.value(name);
}

QString CommandTable::handlerOf(const QString& entry) const
{
    return m_handlerOf.value(entry);
}

void CommandTable::bind(const QString& handler, std::function<void()> fn)
{
    m_handlers.insert(handler, std::move(fn));
}

void CommandTable::bindText(const QString& handler, std::function<void(const QString&)> fn)
{
    m_textHandlers.insert(handler, std::move(fn));
}

void CommandTable::applyPageEnabling(int page)
{
    if (page < ImagePage || page > SetupPage)
        return;
    for (const PageEnabling& row : CommandTables::pageEnabling()) {
        if (QAction* target = item(row.item))
            target->setEnabled(row.onPage[static_cast<std::size_t>(page)]);
    }
}

QAction* CommandTable::item(const QString& name) const
{
    if (QMenu* submenu = m_menus.value(name))
        return submenu->menuAction();
    return m_actions.value(name);
}

void CommandTable::runHandler(const QString& handler)
{
    // A copy: the handler may rebind its own name while it runs.
    const std::function<void()> fn = m_handlers.value(handler);
    if (fn)
        CommandGuard::run(fn);
}

void CommandTable::runTextHandler(const QString& handler, const QString& text)
{
    const std::function<void(const QString&)> fn = m_textHandlers.value(handler);
    if (fn)
        CommandGuard::run([&fn, &text] { fn(text); });
}

QAction* CommandTable::commandWithShortcut(const QKeySequence& key) const
{
    for (QAction* action : m_actions) {
        if (!action->shortcut().isEmpty() && action->shortcut() == key)
            return action;
    }
    return nullptr;
}

bool CommandTable::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Shortcut)
        return QObject::eventFilter(watched, event);

    // The menu bar's access keys Alt+I ("&Info") and Alt+S ("&Setup") are also command shortcuts. Qt
    // takes such a key as ambiguous and runs neither; here the command wins, and while it is disabled
    // the key does nothing rather than open the menu.
    const auto* shortcut = static_cast<QShortcutEvent*>(event);
    if (watched == m_menuBar) {
        QAction* command = commandWithShortcut(shortcut->key());
        if (!command)
            return false;
        if (command->isEnabled())
            command->trigger();
        return true;
    }
    if (auto* command = qobject_cast<QAction*>(watched); command && shortcut->isAmbiguous()) {
        if (command->isEnabled())
            command->trigger();
        return true;
    }
    return false;
}
