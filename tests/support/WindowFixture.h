#pragma once

#include "app/MainWindow.h"
#include "app/commands/CommandTable.h"
#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "platform/Context.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class FixedClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)); }
};

// A fresh catalogue in a temporary folder, its data module, and a main window with scripted
// dialogs, a recording shell opener and a fixed clock. fill runs on the open data module before
// the window is built.
struct WindowFixture
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    RecordingShellOpener shell;
    FixedClock clock;
    ScriptedDriveDoor driveDoor;
    AppContext context;
    std::unique_ptr<DataModule> data;
    std::unique_ptr<MainWindow> window;

    explicit WindowFixture(const std::function<void(DataModule&)>& fill = {})
    {
        context.paths = Paths::inside(dir.path());
        context.dialogs = &dialogs;
        context.shell = &shell;
        context.clock = &clock;
        context.driveDoor = &driveDoor;
        CommandGuard::setReporter(&dialogs);
        Catalogue::create(context.paths.database);
        data = std::make_unique<DataModule>(context.paths.database);
        data->DataModuleCreate();
        if (fill)
            fill(*data);
        window = std::make_unique<MainWindow>(data.get(), &context);
    }
    ~WindowFixture()
    {
        window.reset();
        data.reset();
        CommandGuard::setReporter(nullptr);
    }
    QAction* action(const char* name) const { return window->commands()->action(QLatin1String(name)); }
};
