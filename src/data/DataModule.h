#pragma once

#include "data/TableObject.h"

#include <QObject>
#include <QPointer>
#include <QSqlDatabase>

#include <memory>

class LogCheckpointer;

// A table object under the name the window's controls bind to.
class DataSource : public QObject
{
    Q_OBJECT

public:
    DataSource(TableObject* dataSet, const QString& name, QObject* parent)
        : QObject(parent)
        , m_dataSet(dataSet)
    {
        setObjectName(name);
    }
    TableObject* dataSet() const { return m_dataSet; }

private:
    TableObject* m_dataSet;
};

// The program's one gateway to the catalogue: the connection, the fourteen table objects and
// their data sources, opened and closed in a fixed order.
class DataModule : public QObject
{
    Q_OBJECT

public:
    explicit DataModule(const QString& databasePath, QObject* parent = nullptr);
    ~DataModule() override;

    // Connects, checks the catalogue and opens every table. Throws OrdnixError naming the file.
    void DataModuleCreate();
    // Settles pending edits and closes every table and the connection.
    void DataModuleDestroy();

    const QString& databasePath() const { return m_path; }
    QSqlDatabase database() const;
    TableObject* table(const QString& objectName) const;
    DataSource* dataSource(const QString& objectName) const;
    QList<TableObject*> tables() const { return m_tables; }

    // Runs one statement that changes rows (the clean-up deletions); returns the rows affected.
    int execute(const QString& sql);
    // The number of rows the table holds in the database (a detail table's, too, not only the
    // rows of the current master record).
    int countRows(const QString& tableName);

    TableObject* MSBild;
    TableObject* MSTypen;
    TableObject* MSProduktbildvariante;
    TableObject* MSProduktbezeichnung;
    TableObject* MSSonstiges;
    TableObject* MSSpezialProdukt;
    TableObject* MSVariablen;
    TableObject* MScdmedium;
    TableObject* MScdrubrik;
    TableObject* MScdlagerort;
    TableObject* MSarchiv00;
    TableObject* MSarchiv01;
    TableObject* MSMedia;
    TableObject* MSMediaTyp;

    DataSource* DSBild;
    DataSource* DSTypen;
    DataSource* DSProduktbildvariante;
    DataSource* DSProduktbezeichnung;
    DataSource* DSSonstiges;
    DataSource* DSSpezialProdukt;
    DataSource* DSVAriablen;
    DataSource* DScdmedium;
    DataSource* DScdrubrik;
    DataSource* DSlagerort;
    DataSource* DSarchiv00;
    DataSource* DSarchiv01;
    DataSource* DSMedia;
    DataSource* DSMediaTyp;

private:
    TableObject* make(const QString& tableName, DataSource** source);

    QString m_path;
    QString m_connection;
    QList<TableObject*> m_tables;
    std::unique_ptr<LogCheckpointer> m_checkpointer;
};
