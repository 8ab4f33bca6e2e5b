#pragma once

#include "app/commands/CommandEntry.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class EditEntryAction;
class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;

// Every command of the program: creates the actions of the command table on the main window, with
// the menu bar, the toolbars and the grids' context menus that show them. An entry shown in
// several places is one action, so enabling or renaming it changes it everywhere.
//
// Entries run handlers by name. The pages bind their handlers here; a chosen entry runs its handler
// through the command guard, and an entry whose handler is not bound does nothing.
class CommandTable : public QObject
{
    Q_OBJECT

public:
    enum Page
    {
        ImagePage = 0,
        DiscPage = 1,
        MediaPage = 2,
        SetupPage = 3
    };

    // Creates the actions as children of the window and puts the menu bar and the toolbars on it.
    explicit CommandTable(QMainWindow* window);

    // The declared entries, in table order.
    static const QList<CommandEntry>& entries();

    // nullptr for an unknown name.
    QAction* action(const QString& entry) const;
    EditEntryAction* editEntry(const QString& entry) const;
    // Submenus and context menus by name. A submenu is disabled through its menuAction().
    QMenu* menu(const QString& name) const;
    QMenuBar* menuBar() const { return m_menuBar; }
    QToolBar* toolBar(const QString& name) const;
    QString handlerOf(const QString& entry) const;

    // Binds a handler name for plain, check and toolbar entries; replaces an earlier binding.
    void bind(const QString& handler, std::function<void()> fn);
    // Binds a handler name for edit entries; it receives the confirmed text.
    void bindText(const QString& handler, std::function<void(const QString&)> fn);

    // Enables the page-dependent submenus, entries and toolbar buttons for the page that has become
    // active (see Page). Other values change nothing.
    void applyPageEnabling(int page);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void runHandler(const QString& handler);
    void runTextHandler(const QString& handler, const QString& text);
    QAction* commandWithShortcut(const QKeySequence& key) const;
    QAction* item(const QString& name) const;

    QMainWindow* m_window;
    QMenuBar* m_menuBar = nullptr;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QMenu*> m_menus;
    QHash<QString, QToolBar*> m_toolBars;
    QHash<QString, QString> m_handlerOf;
    QHash<QString, std::function<void()>> m_handlers;
    QHash<QString, std::function<void(const QString&)>> m_textHandlers;
};
