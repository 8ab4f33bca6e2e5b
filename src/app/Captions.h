#pragma once

#include <QList>
#include <QString>

class CommandTable;
class QWidget;
class TableObject;
struct ProgramValues;

// Where the names the user gives in the settings record appear.
struct CaptionTarget
{
    enum Kind
    {
        GridColumn, // owner: grid, target: column
        Label,      // target: label
        Entry,      // target: command entry
        Choice,     // owner: radio group, item: 1-based
    };
    QString field; // a1 … d6
    Kind kind;
    QString owner;
    QString target;
    QString prefix;
    QString suffix;
    int item = 0;
};

const QList<CaptionTarget>& captionTargets();

// Reads the settings record (its first row, posting a pending change), copies the gallery
// values and gives every target its text. An empty settings table gives empty texts.
void variablelesen(TableObject* variablen, ProgramValues& values, QWidget* window, CommandTable* commands);
