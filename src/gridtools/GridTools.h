#pragma once

#include <QList>
#include <QString>

class CatalogueGrid;
class DataModule;
class QProgressBar;
class TableObject;

// Adds a typed value that a lookup list lacks to the list, so that every drop-down bound to the
// list offers it at once (also in the other catalogue sharing the list).
class LookupLists
{
public:
    struct Binding
    {
        QString handler;
        TableObject* list;
        QString field;
    };

    explicit LookupLists(DataModule* data);

    const QList<Binding>& bindings() const { return m_bindings; }
    // Runs the handler of that name on the typed text; false for an unknown handler.
    bool run(const QString& handler, const QString& text);
    // Appends the text to the list's key field, posts it and reads the list again.
    static void grow(TableObject* list, const QString& field, const QString& text);

private:
    QList<Binding> m_bindings;
};

// Writes a text into one column of every data row a grid shows.
namespace BulkReplace {
// Rows are taken when the command starts, in display order; each is found in its table by its
// "fortlfnr" and written exactly once, even when the new value moves it out of the grid's filter.
// Returns the number of records written.
int run(CatalogueGrid* grid, const QString& field, const QString& text);
} // namespace BulkReplace

// Fills a column of every record from the first lookup entry found in another column.
namespace Derive {
// For each record of the table, in table order: the first entry of entries (in list order,
// empty ones never match) that occurs case-sensitively in the search field is written into the
// target field. Records without a match keep their value. Progress goes to the bar; at the end
// the table stands on its first record and the bar is hidden, also after a failure.
int run(TableObject* table, const QString& searchField, const QString& targetField, TableObject* entries,
        const QString& entryField, QProgressBar* bar);
} // namespace Derive
