#include "data/Catalogue.h"
#include "data/Schema.h"
#include "platform/OrdnixError.h"
#include "support/PlainConnection.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

// Replaces a table by one made from its own definition with one change.
bool redefine(const PlainConnection& plain, const QString& table, const QString& from, const QString& to)
{
    QString sql = plain.tableSql(table);
    if (!sql.contains(from)) {
        qWarning().noquote() << "not in definition:" << from << sql;
        return false;
    }
    sql.replace(from, to);
    return plain.exec(QStringLiteral("DROP TABLE \"%1\"").arg(table)) && plain.exec(sql);
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void createMakesAConnectableCatalogueWithSeededRows()
    {
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("neu/unter/media.db"));
        Catalogue::create(path);
        QVERIFY(QFileInfo(path).isFile());
        QVERIFY(!QFileInfo::exists(path + QLatin1String(".neu")));

        {
            QSqlDatabase db = Catalogue::connect(path, QStringLiteral("checked"));
            QVERIFY(db.isOpen());
        }
        QSqlDatabase::removeDatabase(QStringLiteral("checked"));

        PlainConnection plain(path);
        const auto settings =
            plain.rows(QStringLiteral("SELECT Wert, HTMLBreite, HTMLSchriftart, a1, a2, a3, a4, a5, a6, b1, b2, b3, "
                                      "b4, b5, b6, b7, b8, c1, c2, c3, c4, c5, d1, d2, d3, d4, d5, d6 FROM Variablen"));
        QCOMPARE(settings.size(), 1);
        const QVariantList& row = settings.first();
        QCOMPARE(row[0].toString(), QStringLiteral("Bildergalerie"));
        QCOMPARE(row[1].toInt(), 65);
        QCOMPARE(row[2].toString(), QStringLiteral("Times New Roman"));
        QCOMPARE(row[3].toString(), QStringLiteral("Automarke"));
        QCOMPARE(row.last().toString(), QStringLiteral("Freifeld3"));
        for (int i = 3; i < row.size(); ++i)
            QVERIFY2(!row[i].toString().isEmpty(), qPrintable(QString::number(i)));

        const auto types = plain.rows(QStringLiteral("SELECT Dateityp, Beschreibung FROM MediaTyp ORDER BY rowid"));
        QVERIFY(types.size() >= 2);
        QCOMPARE(types.first().first().toString(), QStringLiteral("*.mp3"));
        for (const QVariantList& type : types) {
            QVERIFY(type[0].toString().startsWith(QLatin1String("*.")));
            QVERIFY(type[0].toString().size() <= 7);
            QVERIFY(!type[1].toString().isEmpty() && type[1].toString().size() <= 20);
        }

        const auto media = plain.rows(QStringLiteral("SELECT Medium FROM cdmedium ORDER BY rowid"));
        QStringList names;
        for (const QVariantList& m : media)
            names.append(m.first().toString());
        QCOMPARE(names, (QStringList{QStringLiteral("CD"), QStringLiteral("DVD"), QStringLiteral("Blu-ray")}));

        // Catalogues start without catalogue rows.
        for (const char* table : {"Bilddaten", "archiv00", "Archiv01", "Media", "Typen"})
            QCOMPARE(plain.rows(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table))).first().first(),
                     QVariant(0));
    }

    void createLeavesAnExistingCatalogueAlone()
    {
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("media.db"));
        Catalogue::create(path);
        {
            PlainConnection plain(path);
            QVERIFY(plain.exec(QStringLiteral("INSERT INTO Media (Dateiname) VALUES ('bleibt.mp3')")));
        }
        QVERIFY_THROWS_EXCEPTION(OrdnixError, Catalogue::create(path));

        // A plain file where the folder should be: the message names the place.
        const QString blocked = path + QLatin1String("/unter/media.db");
        try {
            Catalogue::create(blocked);
            QFAIL("created a catalogue below a file");
        } catch (const OrdnixError& error) {
            QVERIFY2(error.message().contains(blocked), qPrintable(error.message()));
        }

        PlainConnection plain(path);
        QCOMPARE(plain.rows(QStringLiteral("SELECT Dateiname FROM Media")).size(), 1);
        QVERIFY(!QFileInfo::exists(path + QLatin1String(".neu")));
    }

    void connectRejects_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("says");

        QTest::newRow("missing file") << QStringLiteral("missing") << QStringLiteral("gibt es nicht");
        QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("Ordner");
        QTest::newRow("not a database") << QStringLiteral("garbage") << QStringLiteral("keine Katalogdatenbank");
        QTest::newRow("empty file") << QStringLiteral("empty") << QStringLiteral("Tabelle „Bilddaten“ fehlt");
        QTest::newRow("another program's database")
            << QStringLiteral("foreign") << QStringLiteral("Tabelle „Bilddaten“ fehlt");
        QTest::newRow("table missing") << QStringLiteral("noTable") << QStringLiteral("Tabelle „cdrubrik“ fehlt");
        QTest::newRow("field missing") << QStringLiteral("noField")
                                       << QStringLiteral("In der Tabelle „MediaTyp“ fehlt das Feld „Beschreibung“");
        QTest::newRow("field of wrong type")
            << QStringLiteral("wrongType")
            << QStringLiteral("Feld „Groesse“ der Tabelle „Bilddaten“ hat den falschen Typ");
        QTest::newRow("locked by another program") << QStringLiteral("locked") << QStringLiteral("gesperrt");
    }

    void connectRejects()
    {
        QFETCH(QString, fixture);
        QFETCH(QString, says);

        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("media.db"));
        std::optional<PlainConnection> holder;
        if (fixture == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else if (fixture == QLatin1String("garbage") || fixture == QLatin1String("empty")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (fixture == QLatin1String("garbage"))
                file.write(QByteArray("Das ist keine Datenbank, nur Text.\r\n").repeated(200));
        } else if (fixture != QLatin1String("missing")) {
            Catalogue::create(path);
            holder.emplace(path);
            if (fixture == QLatin1String("foreign")) {
                for (const TableDef& def : catalogueTables())
                    QVERIFY(holder->exec(QStringLiteral("DROP TABLE \"%1\"").arg(def.name)));
                QVERIFY(holder->exec(QStringLiteral("CREATE TABLE kunden (name TEXT)")));
            } else if (fixture == QLatin1String("noTable")) {
                QVERIFY(holder->exec(QStringLiteral("DROP TABLE cdrubrik")));
            } else if (fixture == QLatin1String("noField")) {
                QVERIFY(redefine(*holder, QStringLiteral("MediaTyp"), QStringLiteral(", \"Beschreibung\" VARCHAR(20)"),
                                 QString()));
            } else if (fixture == QLatin1String("wrongType")) {
                QVERIFY(redefine(*holder, QStringLiteral("Bilddaten"), QStringLiteral("\"Groesse\" DOUBLE"),
                                 QStringLiteral("\"Groesse\" BLOB")));
            } else if (fixture == QLatin1String("locked")) {
                QVERIFY(holder->exec(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")));
                QVERIFY(holder->exec(QStringLiteral("BEGIN EXCLUSIVE")));
                QVERIFY(holder->exec(QStringLiteral("UPDATE Variablen SET Wert = 'gesperrt'")));
            }
            if (fixture != QLatin1String("locked"))
                holder.reset();
        }

        std::optional<QByteArray> before;
        if (QFileInfo(path).isFile() && !holder) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            before = file.readAll();
        }

        const QString connection = QStringLiteral("under-test");
        QElapsedTimer timer;
        timer.start();
        QString message;
        try {
            Catalogue::connect(path, connection);
            QFAIL("connect accepted the file");
        } catch (const OrdnixError& error) {
            message = error.message();
        }
        QVERIFY2(timer.elapsed() < 10000, "the check waited far longer than the busy timeout");
        QVERIFY2(message.contains(path), qPrintable(message));
        QVERIFY2(message.contains(says), qPrintable(message));
        // A failed check keeps no connection and no handle on the file.
        QVERIFY(!QSqlDatabase::contains(connection));

        if (fixture == QLatin1String("missing"))
            QVERIFY2(!QFileInfo::exists(path), "connect created the missing catalogue");
        if (before) {
            // A file that is no catalogue of ours is left exactly as it was.
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(file.readAll() == *before, "the rejected file was changed");
            QVERIFY(!QFileInfo::exists(path + QLatin1String("-wal")));
        }
        if (fixture == QLatin1String("locked")) {
            // The holder can still finish its work: the failed check left nothing behind.
            QVERIFY(holder->exec(QStringLiteral("COMMIT")));
        }
    }

    void connectTakesTheSameNameAgainAfterAFailure()
    {
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("media.db"));
        const QString connection = QStringLiteral("reused");
        QVERIFY_THROWS_EXCEPTION(OrdnixError, Catalogue::connect(path, connection));
        Catalogue::create(path);
        {
            QSqlDatabase db = Catalogue::connect(path, connection);
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM Variablen")) && q.next());
            QCOMPARE(q.value(0).toInt(), 1);
        }
        QSqlDatabase::removeDatabase(connection);
    }

    void connectSwitchesToWriteAheadLog()
    {
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("media.db"));
        Catalogue::create(path);
        {
            QSqlDatabase db = Catalogue::connect(path, QStringLiteral("wal"));
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next());
            QCOMPARE(q.value(0).toString().toLower(), QStringLiteral("wal"));
            QVERIFY(q.exec(QStringLiteral("PRAGMA synchronous")) && q.next());
            QCOMPARE(q.value(0).toInt(), 1); // NORMAL
        }
        QSqlDatabase::removeDatabase(QStringLiteral("wal"));
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
