#pragma once

#include "app/commands/CommandEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// Where the entries are shown. Used by the command table only.
struct CommandContainer
{
    enum class Type
    {
        MenuBar,
        SubMenu,   // a menu that hangs in another menu or in the menu bar
        PopupMenu, // a context menu, shown by its grid
        ToolBar,
    };

    Type type;
    QString name;
    QString title;
    // Entry names and submenu names in order; "|" starts a new group behind a divider.
    QStringList items;
    QString hint;
    QString icon;
    bool enabled = true;
};

// Which page-dependent menus and buttons are enabled on which main page.
struct PageEnabling
{
    QString item;               // a submenu or an entry
    std::array<bool, 4> onPage; // image, disc, media, setup page
};

namespace CommandTables {

const QList<CommandEntry>& entries();
const QList<CommandContainer>& containers();
const QList<PageEnabling>& pageEnabling();

} // namespace CommandTables
