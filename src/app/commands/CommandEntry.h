#pragma once

#include <QKeySequence>
#include <QString>

// One command of the program as the command table declares it. The entry's name is the object
// name of its action, so tests and the pages find it by that name.
struct CommandEntry
{
    enum class Kind
    {
        Plain,        // menu entry or toolbar button
        Check,        // check entry: choosing it toggles the mark, then the handler runs
        HandlerCheck, // check entry whose mark only the handler changes (it inverts it itself)
        Edit,         // caption beside a text box; the handler gets the confirmed text
    };

    QString name;
    QString caption;     // "&" marks the access key
    QString hint;        // empty: the caption without its access key
    bool noHint = false; // the entry has no hint at all
    QKeySequence shortcut;
    Kind kind = Kind::Plain;
    bool checked = false; // start state of a check entry
    QString group;        // check entries of one group exclude each other
    QString icon;         // name in the desktop icon theme
    QString handler;      // empty: the entry runs nothing
    QString dropDown;     // menu that the arrow of its toolbar button opens

    // The text shown as tooltip and status tip; empty when the entry has no hint.
    QString effectiveHint() const;
};

// The caption as plain text: access-key markers removed, "&&" kept as "&".
QString withoutAccessKey(const QString& caption);
