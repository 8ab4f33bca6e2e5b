#pragma once

#include <QSqlDatabase>
#include <QString>

// Creating a new catalogue file and checking an existing one.
namespace Catalogue {

// Creates the catalogue file with every table and the rows an installation starts with: the
// settings record with its default captions, common media file types and the disc media.
// The file appears whole or not at all.
void create(const QString& path);

// Opens a SQLite connection to an existing catalogue and checks that it is one: readable, not
// locked, every table and field present with a fitting type. Throws OrdnixError naming the file.
QSqlDatabase connect(const QString& path, const QString& connectionName);

} // namespace Catalogue
