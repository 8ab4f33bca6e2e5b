#pragma once

#include <QList>
#include <QString>
#include <QStringList>

enum class FieldType
{
    Text,     // text(N)
    Memo,     // text of any length
    Blob,     // binary, here a JPEG picture
    Integer,  // 32-bit whole number
    Counter,  // whole number assigned by the database, read-only
    Float,    // 64-bit floating point
    Decimal,  // exact 18-digit whole number
    DateTime, // local date and time
};

struct FieldDef
{
    QString name;
    FieldType type = FieldType::Text;
    int size = 0; // characters, for Text only
};

struct TableDef
{
    QString name;       // table name in the database
    QString objectName; // table object of the data module ("MSBild")
    QString dataSource; // its data source ("DSBild")
    QList<FieldDef> fields;
    QString assignedField; // integer field the database fills when a row arrives without it

    int fieldIndex(const QString& field) const; // case-insensitive; -1 when absent
    const FieldDef& field(const QString& name) const;
};

// The fourteen tables of the catalogue, in the order the data module opens them.
const QList<TableDef>& catalogueTables();
const TableDef& catalogueTable(const QString& name); // by table name, case-insensitive

// Statements that create the whole catalogue in an empty SQLite file.
QStringList sqliteSchemaStatements();

// What a field's declared type must look like in an existing SQLite catalogue.
bool sqliteTypeFits(FieldType type, const QString& declaredType);

constexpr int catalogueSchemaVersion = 1;
