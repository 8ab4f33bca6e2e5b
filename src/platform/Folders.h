#pragma once

#include <QString>

// Creates the folder with all missing parents. Nothing happens when it exists; false when a plain
// file of that name is in the way. Callers ignore the result.
bool ensureFolder(const QString& folder);

// Creates the folder for this user alone (mode 0700). An existing folder of ours is narrowed to
// 0700; false when the place is taken by a link, a file or a folder of another user.
bool ensurePrivateFolder(const QString& folder);

// Deletes every entry of the folder that matches the wildcard mask and is not a folder, hidden
// ones included. An entry that cannot be deleted is left without a message.
void deleteMatchingFiles(const QString& mask, const QString& folder);

// The name the user logged on with.
QString loginName();
