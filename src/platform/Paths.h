#pragma once

#include <QString>

// Every place on disk the program uses, decided once in main() and handed down. Tests build
// their own with folders inside a temporary directory.
struct Paths
{
    QString database;           // the catalogue file
    QString tempFolder;         // per-user folder for gallery pages and list files, ends in '/'
    QString configFolder;       // layout stores
    QString helpPage;           // the German help page shipped with the program
    bool databaseGiven = false; // named on the command line: never created, must exist

    // The standard places for the logged-on user; databaseOverride is the --database value.
    static Paths standard(const QString& databaseOverride = {});
    // All places below one folder (tests and benchmarks).
    static Paths inside(const QString& folder);

    static QString defaultDatabase();
    static QString findHelpPage();
};
