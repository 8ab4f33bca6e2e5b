#pragma once

#include "platform/CommandGuard.h"

#include <QString>
#include <QStringList>

// The program's questions and messages to the user. The window uses the Qt dialogs; tests give
// scripted answers.
class Dialogs : public ErrorReporter
{
public:
    // Modal question with the buttons "Ja" and "Nein"; true for Ja.
    virtual bool confirm(const QString& text) = 0;
    // Modal message whose only button is "Ja".
    virtual void message(const QString& text) = 0;
    // Pictures to open (multi-select, with a preview of the highlighted picture); empty when cancelled.
    virtual QStringList openPictures(const QString& title, const QString& filter) = 0;
    // Files to open (multi-select, plain dialog); empty when cancelled.
    virtual QStringList openFiles(const QString& filter) = 0;
    // A folder; empty when cancelled.
    virtual QString chooseFolder(const QString& title) = 0;
    // The font family the font dialog holds when it closes, starting from the given one.
    virtual QString chooseFont(const QString& family, int pointSize) = 0;
    virtual void about() = 0;
};
