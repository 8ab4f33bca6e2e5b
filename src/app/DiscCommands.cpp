#include "app/MainWindow.h"
#include "app/PageCommands.h"
#include "app/commands/CommandTable.h"

void bindDiscCommands(MainWindow& window)
{
    Q_UNUSED(window);
}
