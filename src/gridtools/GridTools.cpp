#include "gridtools/GridTools.h"

#include "data/DataModule.h"
#include "gridtools/CatalogueGrid.h"
#include "gridtools/LongRun.h"

#include <QProgressBar>

namespace {

// Writes one field of the current record. A value the database refuses is dropped again: left
// pending, every later move of the table would try to save it once more.
void writeField(TableObject* table, int field, const QVariant& value)
{
    table->edit();
    table->setValue(field, value);
    try {
        table->post();
    } catch (...) {
        table->cancel();
        throw;
    }
}

} // namespace

LookupLists::LookupLists(DataModule* d)
{
    auto b = [](const char* handler, TableObject* list, const char* field) {
        return Binding{QLatin1String(handler), list, QLatin1String(field)};
    };
    m_bindings = {
        b("AutomarkePropertiesNewLookupDisplayText", d->MSTypen, "Typen"),
        b("cxGrid4DBTableView1SonstigesPropertiesNewLookupDisplayText", d->MSTypen, "Typen"),
        b("SpezialUniversalProduktPropertiesNewLookupDisplayText", d->MSSpezialProdukt, "SpezialUniversalProdukt"),
        b("cxGrid4DBTableView1Sonstiges1PropertiesNewLookupDisplayText", d->MSSpezialProdukt,
          "SpezialUniversalProdukt"),
        b("ProduktgruppePropertiesNewLookupDisplayText", d->MSProduktbezeichnung, "Produktbez"),
        b("ProduktbildvariantePropertiesNewLookupDisplayText", d->MSProduktbildvariante, "Produktbildvariante"),
        b("SonstigesPropertiesNewLookupDisplayText", d->MSSonstiges, "Sonstiges"),
        b("MediumPropertiesNewLookupDisplayText", d->MScdmedium, "Medium"),
        b("KategoriePropertiesNewLookupDisplayText", d->MScdrubrik, "Rubrik"),
        b("LagerortPropertiesNewLookupDisplayText", d->MScdlagerort, "Lagerort"),
    };
}

bool LookupLists::run(const QString& handler, const QString& text)
{
    for (const Binding& binding : std::as_const(m_bindings)) {
        if (binding.handler == handler) {
            grow(binding.list, binding.field, text);
            return true;
        }
    }
    return false;
}

void LookupLists::grow(TableObject* list, const QString& field, const QString& text)
{
    list->append();
    try {
        list->setValue(field, text);
        list->post();
    } catch (...) {
        // A value the database refuses must not stay behind as a half-added row that every later
        // move would try to save again.
        list->cancel();
        throw;
    }
    list->close();
    list->open();
}

int BulkReplace::run(CatalogueGrid* grid, const QString& field, const QString& text)
{
    const QList<int> rows = grid->visibleRows();
    if (rows.isEmpty())
        return 0;
    TableObject* table = grid->table();
    const int key = table->fieldIndex(QStringLiteral("fortlfnr"));
    const int target = table->fieldIndex(field);
    QList<qint64> keys;
    keys.reserve(rows.size());
    for (int row : rows)
        keys.append(table->valueAt(row, key).toLongLong());

    struct UpdateBracket
    {
        CatalogueGrid* grid;
        explicit UpdateBracket(CatalogueGrid* g)
            : grid(g)
        {
            grid->beginUpdate();
        }
        ~UpdateBracket() { grid->endUpdate(); }
    } bracket(grid);
    // The record moves are not shown one by one: the details, the row indicator and the
    // navigator follow once, at the end.
    struct QuietMoves
    {
        TableObject* table;
        explicit QuietMoves(TableObject* t)
            : table(t)
        {
            table->beginQuietMoves();
        }
        ~QuietMoves() { table->endQuietMoves(); }
    } quiet(table);

    const QVariant value = text.isEmpty() ? QVariant() : QVariant(text);
    int written = 0;
    for (qint64 k : std::as_const(keys)) {
        if (!table->locate(QStringList{QStringLiteral("fortlfnr")}, QVariantList{k}))
            continue;
        writeField(table, target, value);
        ++written;
    }
    return written;
}

int Derive::run(TableObject* table, const QString& searchField, const QString& targetField, TableObject* entries,
                const QString& entryField, QProgressBar* bar)
{
    const int search = table->fieldIndex(searchField);
    const int target = table->fieldIndex(targetField);
    table->first();
    if (bar) {
        bar->setValue(0);
        bar->show();
    }
    // Restores controls, cursor and bar however the run ends.
    struct Finish
    {
        TableObject* table;
        QProgressBar* bar;
        ~Finish()
        {
            try {
                table->first();
            } catch (...) {
            }
            if (bar) {
                bar->hide();
                bar->setValue(0);
            }
        }
    } finish{table, bar};
    LongRun run({table});

    QStringList list;
    const int entryColumn = entries->fieldIndex(entryField);
    for (int r = 0; r < entries->recordCount(); ++r)
        list.append(entries->valueAt(r, entryColumn).toString());
    list.removeAll(QString());

    const int n = table->recordCount();
    int written = 0;
    for (int k = 1; k <= n; ++k) {
        if (bar)
            LongRun::progress(bar, int(qint64(k) * 100 / n));
        const int row = k - 1;
        const QString text = table->valueAt(row, search).toString();
        for (const QString& entry : std::as_const(list)) {
            if (text.contains(entry, Qt::CaseSensitive)) {
                table->moveTo(row);
                writeField(table, target, entry);
                ++written;
                break;
            }
        }
    }
    return written;
}
