#include "data/Schema.h"

#include "platform/OrdnixError.h"

namespace {

FieldDef text(const char* name, int size)
{
    return {QLatin1String(name), FieldType::Text, size};
}
FieldDef memo(const char* name)
{
    return {QLatin1String(name), FieldType::Memo, 0};
}
FieldDef blob(const char* name)
{
    return {QLatin1String(name), FieldType::Blob, 0};
}
FieldDef integer(const char* name)
{
    return {QLatin1String(name), FieldType::Integer, 0};
}
FieldDef counter(const char* name)
{
    return {QLatin1String(name), FieldType::Counter, 0};
}
FieldDef real(const char* name)
{
    return {QLatin1String(name), FieldType::Float, 0};
}
FieldDef decimal(const char* name)
{
    return {QLatin1String(name), FieldType::Decimal, 0};
}
FieldDef dateTime(const char* name)
{
    return {QLatin1String(name), FieldType::DateTime, 0};
}

TableDef table(const char* name, const char* object, const char* source, QList<FieldDef> fields,
               const char* assigned = nullptr)
{
    TableDef def;
    def.name = QLatin1String(name);
    def.objectName = QLatin1String(object);
    def.dataSource = QLatin1String(source);
    def.fields = std::move(fields);
    if (assigned)
        def.assignedField = QLatin1String(assigned);
    return def;
}

QList<TableDef> makeTables()
{
    return {
        table("Bilddaten", "MSBild", "DSBild",
              {text("Automarke", 50),
               text("FeinGrobDaten", 20),
               text("Produktbildvariante", 20),
               text("Produktgruppe", 50),
               text("SpezialUniversalProdukt", 50),
               text("Sonstiges", 30),
               text("Beschreibung", 80),
               real("Groesse"),
               text("Dateityp", 5),
               text("Aufloesung", 25),
               text("Dateiname", 100),
               text("Dateipfad", 200),
               text("Erstausruestung", 30),
               memo("Hinweise"),
               text("Thumbname", 50),
               memo("dt"),
               memo("engl"),
               memo("franz"),
               memo("ital"),
               memo("span"),
               blob("chin"),
               text("Sonstiges1", 30),
               dateTime("erstelldatum"),
               dateTime("letzteAenderung"),
               dateTime("letzterZugriff"),
               counter("fortlfnr")}),
        table("Typen", "MSTypen", "DSTypen", {integer("recordid"), text("Typen", 20), text("Bezeichnung", 50)}),
        table("Produktbildvariante", "MSProduktbildvariante", "DSProduktbildvariante",
              {text("Produktbildvariante", 30)}),
        table("Produktbezeichnung", "MSProduktbezeichnung", "DSProduktbezeichnung",
              {integer("recordid"), text("Produktbez", 50), text("Beschreibung", 50)}),
        table("Sonstiges", "MSSonstiges", "DSSonstiges", {integer("fortlfnr"), text("Sonstiges", 50)}),
        table("Spezialuniversalprodukt", "MSSpezialProdukt", "DSSpezialProdukt",
              {text("SpezialUniversalProdukt", 50), text("Bemerkungen", 50)}),
        table("Variablen", "MSVariablen", "DSVAriablen",
              {text("Bezeichnung", 50), text("Wert", 150), integer("HTMLBreite"), text("HTMLSchriftart", 50),
               text("a1", 30),          text("a2", 30),    text("a3", 30),        text("a4", 30),
               text("a5", 30),          text("a6", 30),    text("b1", 30),        text("b2", 30),
               text("b3", 30),          text("b4", 30),    text("b5", 30),        text("b6", 30),
               text("b7", 30),          text("b8", 30),    text("c1", 30),        text("c2", 30),
               text("c3", 30),          text("c4", 30),    text("c5", 30),        text("d1", 30),
               text("d2", 30),          text("d3", 30),    text("d4", 30),        text("d5", 30),
               text("d6", 30)}),
        table("cdmedium", "MScdmedium", "DScdmedium", {integer("fortlfnr"), text("Medium", 50)}),
        table("cdrubrik", "MScdrubrik", "DScdrubrik", {integer("fortlfnr"), text("Rubrik", 15)}),
        table("cdlagerort", "MScdlagerort", "DSlagerort", {integer("fortlfnr"), text("Lagerort", 10)}),
        table("archiv00", "MSarchiv00", "DSarchiv00",
              {integer("recnr"), text("Name", 40), text("Medium", 20), text("Anzahl", 10), text("Rubrik", 15),
               text("Lagerort", 10), text("Freifeld1", 30), text("Freifeld2", 30), text("Freifeld3", 30),
               dateTime("Datum")},
              "recnr"),
        table("Archiv01", "MSarchiv01", "DSarchiv01",
              {integer("fortlfnr"), integer("recnr"), text("Titel", 50), text("Interpret", 30), decimal("Laenge"),
               memo("Songtext"), integer("Liednr"), text("Dateipfad", 200)}),
        table("Media", "MSMedia", "DSMedia",
              {text("Dateipfad", 200), text("Dateiname", 100), text("Dateityp", 7), text("Beschreibung", 80),
               text("Sonstiges", 30), text("Sonstiges1", 30), real("Groesse"), text("Freifeld1", 30),
               text("Freifeld2", 30), text("Freifeld3", 30), dateTime("Erstelldatum"), dateTime("letzteAenderung"),
               dateTime("letzterZugriff"), counter("fortlfnr")}),
        table("MediaTyp", "MSMediaTyp", "DSMediaTyp", {text("Dateityp", 7), text("Beschreibung", 20)}),
    };
}

QString sqliteType(const FieldDef& field)
{
    switch (field.type) {
    case FieldType::Text:
        return QStringLiteral("VARCHAR(%1)").arg(field.size);
    case FieldType::Memo:
        return QStringLiteral("TEXT");
    case FieldType::Blob:
        return QStringLiteral("BLOB");
    case FieldType::Integer:
        return QStringLiteral("INTEGER");
    case FieldType::Counter:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldType::Float:
        return QStringLiteral("DOUBLE");
    case FieldType::Decimal:
        return QStringLiteral("NUMERIC(18,0)");
    case FieldType::DateTime:
        // Kept as "yyyy-MM-ddTHH:mm:ss.zzz" local time, which sorts as text.
        return QStringLiteral("TEXT");
    }
    return {};
}

// SQLite's column affinity rules, applied to a declared type.
enum class Affinity
{
    Integer,
    Text,
    Blob,
    Real,
    Numeric
};

Affinity affinityOf(const QString& declared)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT")))
        return Affinity::Integer;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (t.isEmpty() || t.contains(QLatin1String("BLOB")))
        return Affinity::Blob;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return Affinity::Real;
    return Affinity::Numeric;
}

} // namespace

int TableDef::fieldIndex(const QString& field) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const FieldDef& TableDef::field(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw OrdnixError(QStringLiteral("Die Tabelle „%1“ hat kein Feld „%2“.").arg(this->name, name));
    return fields[i];
}

const QList<TableDef>& catalogueTables()
{
    static const QList<TableDef> tables = makeTables();
    return tables;
}

const TableDef& catalogueTable(const QString& name)
{
    for (const TableDef& def : catalogueTables()) {
        if (def.name.compare(name, Qt::CaseInsensitive) == 0)
            return def;
    }
    throw OrdnixError(QStringLiteral("Die Tabelle „%1“ gibt es im Katalog nicht.").arg(name));
}

QStringList sqliteSchemaStatements()
{
    QStringList statements;
    for (const TableDef& def : catalogueTables()) {
        QStringList columns;
        for (const FieldDef& field : def.fields)
            columns.append(QLatin1Char('"') + field.name + QLatin1String("\" ") + sqliteType(field));
        statements.append(QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(def.name, columns.join(QLatin1String(", "))));
        if (!def.assignedField.isEmpty()) {
            // A row that arrives without its number gets the next free one.
            statements.append(QStringLiteral("CREATE TRIGGER \"%1_%2_assign\" AFTER INSERT ON \"%1\" "
                                             "WHEN NEW.\"%2\" IS NULL BEGIN "
                                             "UPDATE \"%1\" SET \"%2\" = (SELECT COALESCE(MAX(\"%2\"), 0) + 1 "
                                             "FROM \"%1\") WHERE rowid = NEW.rowid; END")
                                  .arg(def.name, def.assignedField));
        }
    }
    statements.append(
        QStringLiteral("CREATE INDEX \"Bilddaten_Datei\" ON \"Bilddaten\" (\"Dateipfad\", \"Dateiname\")"));
    statements.append(QStringLiteral("CREATE INDEX \"Media_Datei\" ON \"Media\" (\"Dateipfad\", \"Dateiname\")"));
    statements.append(QStringLiteral("CREATE INDEX \"Archiv01_fortlfnr\" ON \"Archiv01\" (\"fortlfnr\")"));
    statements.append(QStringLiteral("PRAGMA user_version = %1").arg(catalogueSchemaVersion));
    return statements;
}

bool sqliteTypeFits(FieldType type, const QString& declaredType)
{
    const Affinity a = affinityOf(declaredType);
    switch (type) {
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::DateTime:
        return a == Affinity::Text || a == Affinity::Numeric;
    case FieldType::Blob:
        return a == Affinity::Blob;
    case FieldType::Integer:
    case FieldType::Counter:
    case FieldType::Decimal:
        return a == Affinity::Integer || a == Affinity::Numeric || a == Affinity::Real;
    case FieldType::Float:
        return a == Affinity::Real || a == Affinity::Numeric || a == Affinity::Integer;
    }
    return false;
}
