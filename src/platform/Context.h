#pragma once

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/DriveDoor.h"
#include "platform/Paths.h"
#include "platform/ShellOpener.h"

#include <QString>

// Values the whole program shares while it runs; set by the main window, read by the pages.
struct ProgramValues
{
    QString TempFolder;     // ends in '/'; set at every activation of the main window
    QString HtmlHeading;    // from the settings record
    QString HtmlTableWidth; // decimal text
    QString HtmlFontName;
    bool ZoomActive = false;
    int ImagesPerPage = 5;
};

// What the window and its pages are given from outside: places on disk and the seams to the
// user and the desktop. main() builds the real one; tests build theirs with scripted seams.
struct AppContext
{
    Paths paths;
    Dialogs* dialogs = nullptr;
    ShellOpener* shell = nullptr;
    Clock* clock = nullptr;
    DriveDoor* driveDoor = nullptr;
    ProgramValues values;
};
