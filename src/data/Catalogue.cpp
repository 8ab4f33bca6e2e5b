#include "data/Catalogue.h"

#include "data/Schema.h"
#include "platform/Folders.h"
#include "platform/OrdnixError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace {

QString describe(const QSqlError& error)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    if (text.contains(QLatin1String("not a database"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("malformed"), Qt::CaseInsensitive))
        return QStringLiteral("Die Datei ist beschädigt oder keine Katalogdatenbank (%1).").arg(text);
    if (text.contains(QLatin1String("locked"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("busy"), Qt::CaseInsensitive))
        return QStringLiteral("Die Datei ist von einem anderen Programm gesperrt (%1).").arg(text);
    if (text.contains(QLatin1String("unable to open"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("readonly"), Qt::CaseInsensitive) ||
        text.contains(QLatin1String("permission"), Qt::CaseInsensitive))
        return QStringLiteral("Die Datei kann nicht gelesen werden (%1).").arg(text);
    return text;
}

[[noreturn]] void fail(const QString& path, const QString& what)
{
    throw OrdnixError(QStringLiteral("Die Katalogdatenbank „%1“ kann nicht geöffnet werden.\n%2")
                          .arg(QDir::toNativeSeparators(path), what));
}

void exec(QSqlQuery& query, const QString& sql, const QString& path)
{
    if (!query.exec(sql))
        fail(path, describe(query.lastError()));
}

void seed(QSqlDatabase& db, const QString& path)
{
    QSqlQuery q(db);
    const QStringList captions = {
        // a1 … a6
        QStringLiteral("Automarke"), QStringLiteral("Automodell"), QStringLiteral("Produktgruppe"),
        QStringLiteral("Produktbildvariante"), QStringLiteral("Sonstiges 1"), QStringLiteral("Sonstiges 2"),
        // b1 … b8
        QStringLiteral("fortlf Nr"), QStringLiteral("Name"), QStringLiteral("Medium"), QStringLiteral("Kategorie"),
        QStringLiteral("Lagerort"), QStringLiteral("Freifeld1"), QStringLiteral("Freifeld2"),
        QStringLiteral("Freifeld3"),
        // c1 … c5
        QStringLiteral("Liednr"), QStringLiteral("Titel"), QStringLiteral("Songtext"), QStringLiteral("Interpret"),
        QStringLiteral("Länge"),
        // d1 … d6
        QStringLiteral("Beschreibung"), QStringLiteral("Sonstiges"), QStringLiteral("Sonstiges1"),
        QStringLiteral("Freifeld1"), QStringLiteral("Freifeld2"), QStringLiteral("Freifeld3")};
    QStringList names = {QStringLiteral("Wert"), QStringLiteral("HTMLBreite"), QStringLiteral("HTMLSchriftart")};
    QStringList marks = {QStringLiteral("?"), QStringLiteral("?"), QStringLiteral("?")};
    const char* groups[] = {"a", "b", "c", "d"};
    const int counts[] = {6, 8, 5, 6};
    for (int g = 0; g < 4; ++g) {
        for (int i = 1; i <= counts[g]; ++i) {
            names.append(QLatin1String(groups[g]) + QString::number(i));
            marks.append(QStringLiteral("?"));
        }
    }
    q.prepare(QStringLiteral("INSERT INTO Variablen (%1) VALUES (%2)")
                  .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    q.addBindValue(QStringLiteral("Bildergalerie"));
    q.addBindValue(65);
    q.addBindValue(QStringLiteral("Times New Roman"));
    for (const QString& caption : captions)
        q.addBindValue(caption);
    if (!q.exec())
        fail(path, describe(q.lastError()));

    const std::pair<const char*, const char*> types[] = {
        {"*.mp3", "MP3-Musik"}, {"*.ogg", "Ogg-Vorbis-Musik"}, {"*.flac", "FLAC-Musik"}, {"*.wav", "WAV-Klang"},
        {"*.mp4", "MP4-Video"}, {"*.mkv", "Matroska-Video"},   {"*.avi", "AVI-Video"},   {"*.pdf", "PDF-Dokument"},
    };
    q.prepare(QStringLiteral("INSERT INTO MediaTyp (Dateityp, Beschreibung) VALUES (?, ?)"));
    for (const auto& [mask, description] : types) {
        q.addBindValue(QLatin1String(mask));
        q.addBindValue(QString::fromUtf8(description));
        if (!q.exec())
            fail(path, describe(q.lastError()));
    }
    q.prepare(QStringLiteral("INSERT INTO cdmedium (fortlfnr, Medium) VALUES (?, ?)"));
    int number = 1;
    for (const char* medium : {"CD", "DVD", "Blu-ray"}) {
        q.addBindValue(number++);
        q.addBindValue(QLatin1String(medium));
        if (!q.exec())
            fail(path, describe(q.lastError()));
    }
}

} // namespace

void Catalogue::create(const QString& path)
{
    const QFileInfo target(path);
    if (!ensureFolder(target.absolutePath()))
        fail(path, QStringLiteral("Der Ordner „%1“ kann nicht angelegt werden.").arg(target.absolutePath()));
    // Built under a temporary name and renamed at the end, so a failed start leaves nothing behind.
    const QString building = path + QLatin1String(".neu");
    QFile::remove(building);
    const QString name = QStringLiteral("ordnix-create-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(building);
        if (!db.open())
            fail(path, describe(db.lastError()));
        QSqlQuery q(db);
        exec(q, QStringLiteral("BEGIN"), path);
        for (const QString& statement : sqliteSchemaStatements()) {
            if (statement.startsWith(QLatin1String("PRAGMA")))
                continue;
            exec(q, statement, path);
        }
        seed(db, path);
        exec(q, QStringLiteral("COMMIT"), path);
        exec(q, QStringLiteral("PRAGMA user_version = %1").arg(catalogueSchemaVersion), path);
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        fail(path, QStringLiteral("Die neue Datei kann nicht angelegt werden."));
    }
}

namespace {

QSqlDatabase openChecked(const QString& path, const QString& connectionName, bool writable)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1500"));
    if (!db.open())
        fail(path, describe(db.lastError()));

    QSqlQuery q(db);
    exec(q, QStringLiteral("SELECT count(*) FROM sqlite_master"), path);
    for (const TableDef& table : catalogueTables()) {
        exec(q, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table.name), path);
        QHash<QString, QString> declared;
        while (q.next())
            declared.insert(q.value(1).toString().toLower(), q.value(2).toString());
        if (declared.isEmpty())
            fail(path, QStringLiteral("Die Tabelle „%1“ fehlt.").arg(table.name));
        for (const FieldDef& field : table.fields) {
            const auto it = declared.constFind(field.name.toLower());
            if (it == declared.constEnd())
                fail(path, QStringLiteral("In der Tabelle „%1“ fehlt das Feld „%2“.").arg(table.name, field.name));
            if (!sqliteTypeFits(field.type, it.value()))
                fail(path, QStringLiteral("Das Feld „%1“ der Tabelle „%2“ hat den falschen Typ „%3“.")
                               .arg(field.name, table.name, it.value()));
        }
    }
    // Only a file that proved to be a catalogue is switched: readers and the one writer do not block
    // each other, and a posted row survives a crash.
    if (writable) {
        exec(q, QStringLiteral("PRAGMA journal_mode = WAL"), path);
        exec(q, QStringLiteral("PRAGMA synchronous = NORMAL"), path);
    }
    q.finish();
    return db;
}

} // namespace

QSqlDatabase Catalogue::connect(const QString& path, const QString& connectionName)
{
    const QFileInfo info(path);
    if (!info.exists())
        fail(path, QStringLiteral("Die Datei gibt es nicht."));
    if (info.isDir())
        fail(path, QStringLiteral("Das ist ein Ordner, keine Datei."));
    if (!info.isReadable())
        fail(path, QStringLiteral("Die Datei kann nicht gelesen werden (keine Berechtigung)."));

    try {
        return openChecked(path, connectionName, info.isWritable());
    } catch (const OrdnixError&) {
        // A rejected file keeps no connection open on it.
        QSqlDatabase::removeDatabase(connectionName);
        throw;
    }
}
