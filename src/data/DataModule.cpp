#include "data/DataModule.h"

#include "data/Catalogue.h"
#include "data/LogCheckpointer.h"
#include "platform/OrdnixError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

DataModule::DataModule(const QString& databasePath, QObject* parent)
    : QObject(parent)
    , m_path(databasePath)
    , m_connection(QStringLiteral("DataM1-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    setObjectName(QStringLiteral("DataM1"));
    MSBild = make(QStringLiteral("Bilddaten"), &DSBild);
    MSTypen = make(QStringLiteral("Typen"), &DSTypen);
    MSProduktbildvariante = make(QStringLiteral("Produktbildvariante"), &DSProduktbildvariante);
    MSProduktbezeichnung = make(QStringLiteral("Produktbezeichnung"), &DSProduktbezeichnung);
    MSSonstiges = make(QStringLiteral("Sonstiges"), &DSSonstiges);
    MSSpezialProdukt = make(QStringLiteral("Spezialuniversalprodukt"), &DSSpezialProdukt);
    MSVariablen = make(QStringLiteral("Variablen"), &DSVAriablen);
    MScdmedium = make(QStringLiteral("cdmedium"), &DScdmedium);
    MScdrubrik = make(QStringLiteral("cdrubrik"), &DScdrubrik);
    MScdlagerort = make(QStringLiteral("cdlagerort"), &DSlagerort);
    MSarchiv00 = make(QStringLiteral("archiv00"), &DSarchiv00);
    MSarchiv01 = make(QStringLiteral("Archiv01"), &DSarchiv01);
    MSMedia = make(QStringLiteral("Media"), &DSMedia);
    MSMediaTyp = make(QStringLiteral("MediaTyp"), &DSMediaTyp);
    MSarchiv01->setMasterLink(MSarchiv00, QStringLiteral("recnr"), QStringLiteral("fortlfnr"));
}

DataModule::~DataModule()
{
    try {
        DataModuleDestroy();
    } catch (const OrdnixError&) {
        // A failing post at the very end has nowhere to be shown; the tables close regardless.
    }
}

TableObject* DataModule::make(const QString& tableName, DataSource** source)
{
    const TableDef& def = catalogueTable(tableName);
    auto* table = new TableObject(def, this);
    table->setConnectionName(m_connection);
    *source = new DataSource(table, def.dataSource, this);
    m_tables.append(table);
    return table;
}

QSqlDatabase DataModule::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

TableObject* DataModule::table(const QString& objectName) const
{
    return findChild<TableObject*>(objectName, Qt::FindDirectChildrenOnly);
}

DataSource* DataModule::dataSource(const QString& objectName) const
{
    return findChild<DataSource*>(objectName, Qt::FindDirectChildrenOnly);
}

void DataModule::DataModuleCreate()
{
    if (!database().isOpen())
        Catalogue::connect(m_path, m_connection);
    if (!m_checkpointer)
        m_checkpointer = LogCheckpointer::start(database(), m_path);
    // The order in which the tables open: the disc contents follow their disc.
    for (TableObject* table :
         {MSBild, MSTypen, MSProduktbildvariante, MSProduktbezeichnung, MSSonstiges, MSSpezialProdukt, MSVariablen,
          MScdmedium, MScdrubrik, MScdlagerort, MSarchiv00, MSarchiv01, MSMedia, MSMediaTyp})
        table->open();
}

void DataModule::DataModuleDestroy()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    // Pending edits are posted before anything closes: nothing typed is lost at exit.
    QString failures;
    for (TableObject* table :
         {MSMedia, MSMediaTyp, MSarchiv00, MSarchiv01, MScdmedium, MScdrubrik, MScdlagerort, MSTypen,
          MSProduktbildvariante, MSProduktbezeichnung, MSSonstiges, MSBild, MSSpezialProdukt, MSVariablen}) {
        try {
            table->close();
        } catch (const OrdnixError& error) {
            failures += error.message() + QLatin1Char('\n');
            table->cancel();
            table->close();
        }
    }
    m_checkpointer.reset(); // before the file closes, which copies the rest of the log
    {
        QSqlDatabase db = database();
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    if (!failures.isEmpty())
        throw OrdnixError(failures.trimmed());
}

int DataModule::execute(const QString& sql)
{
    QSqlQuery query(database());
    if (!query.exec(sql))
        throw OrdnixError(
            QStringLiteral("Die Anweisung „%1“ ist fehlgeschlagen:\n%2").arg(sql, query.lastError().text()));
    return query.numRowsAffected();
}

int DataModule::countRows(const QString& tableName)
{
    const TableDef& def = catalogueTable(tableName);
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(def.name)) || !query.next())
        throw OrdnixError(
            QStringLiteral("Die Tabelle „%1“ kann nicht gezählt werden:\n%2").arg(def.name, query.lastError().text()));
    return query.value(0).toInt();
}
