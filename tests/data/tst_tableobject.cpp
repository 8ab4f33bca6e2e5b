#include "data/Catalogue.h"
#include "data/Schema.h"
#include "data/TableObject.h"
#include "platform/OrdnixError.h"
#include "support/PlainConnection.h"

#include <QAbstractItemModelTester>
#include <QSet>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <algorithm>
#include <memory>

#include <time.h>

namespace {

QString created(const QString& path)
{
    Catalogue::create(path);
    return path;
}

// A fresh catalogue, the connection the table objects use and a plain one of the test's own that
// sees only what was committed.
class Fixture
{
public:
    Fixture() { Catalogue::connect(m_path, m_connection); }
    ~Fixture()
    {
        m_tables.clear();
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }

    TableObject& table(const QString& name, bool open = true)
    {
        auto t = std::make_unique<TableObject>(catalogueTable(name));
        t->setConnectionName(m_connection);
        if (open)
            t->open();
        m_tables.push_back(std::move(t));
        return *m_tables.back();
    }

    bool exec(const QString& sql, const QVariantList& values = {}) const { return m_plain.exec(sql, values); }
    // The committed rows as the plain connection sees them.
    QList<QVariantList> rows(const QString& sql) const { return m_plain.rows(sql); }
    QStringList column(const QString& sql) const
    {
        QStringList out;
        for (const QVariantList& row : rows(sql))
            out.append(row.first().toString());
        return out;
    }
    int count(const QString& table) const
    {
        return rows(QStringLiteral("SELECT count(*) FROM %1").arg(table)).first().first().toInt();
    }

    void addMedia(const QString& folder, const QString& name)
    {
        QVERIFY(exec(QStringLiteral("INSERT INTO Media (Dateipfad, Dateiname) VALUES (?, ?)"), {folder, name}));
    }

private:
    static inline int s_count = 0;
    QTemporaryDir m_dir;
    QString m_path = created(m_dir.filePath(QStringLiteral("media.db")));
    QString m_connection = QStringLiteral("tables-") + QString::number(++s_count);
    PlainConnection m_plain{m_path};
    std::vector<std::unique_ptr<TableObject>> m_tables;
};

QString name(int i)
{
    return QStringLiteral("f%1.mp3").arg(i, 2, 10, QLatin1Char('0'));
}

// Walks the table from the first row to the end the way the program's loops do.
QStringList walk(TableObject& t, const QString& field)
{
    QStringList seen;
    t.first();
    int guard = 0;
    while (!t.eof() && ++guard < 1000) {
        seen.append(t.value(field).toString());
        t.next();
    }
    return seen;
}

} // namespace

class TestTableObject : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // Local time differs from UTC and has summer time, so a slip between the two shows.
        qputenv("TZ", "Europe/Berlin");
        ::tzset();
    }

    void cursorMoves_data()
    {
        QTest::addColumn<QString>("moves");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("bof");
        QTest::addColumn<bool>("eof");

        // 25 rows, 0 … 24.
        QTest::newRow("opened") << QString() << 0 << true << false;
        QTest::newRow("first") << QStringLiteral("last first") << 0 << true << false;
        QTest::newRow("next") << QStringLiteral("next") << 1 << false << false;
        QTest::newRow("prior at first row") << QStringLiteral("prior") << 0 << true << false;
        QTest::newRow("next prior") << QStringLiteral("next prior") << 0 << false << false;
        QTest::newRow("last") << QStringLiteral("last") << 24 << false << true;
        QTest::newRow("next at last row") << QStringLiteral("last prior next next") << 24 << false << true;
        QTest::newRow("prior from last") << QStringLiteral("last prior") << 23 << false << false;
        QTest::newRow("forward 10") << QStringLiteral("+10") << 10 << false << false;
        QTest::newRow("forward 10 three times") << QStringLiteral("+10 +10 +10") << 24 << false << true;
        QTest::newRow("back 10 from last") << QStringLiteral("last -10") << 14 << false << false;
        QTest::newRow("back 10 past the start") << QStringLiteral("+10 -10 -10") << 0 << true << false;
        QTest::newRow("forward to exactly the last") << QStringLiteral("+10 +10 +4") << 24 << false << false;
    }

    void cursorMoves()
    {
        QFETCH(QString, moves);
        QFETCH(int, row);
        QFETCH(bool, bof);
        QFETCH(bool, eof);

        Fixture db;
        for (int i = 0; i < 25; ++i)
            db.addMedia(QStringLiteral("file:///m/"), name(i));
        TableObject& t = db.table(QStringLiteral("Media"));
        for (const QString& move : moves.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (move == QLatin1String("first"))
                t.first();
            else if (move == QLatin1String("last"))
                t.last();
            else if (move == QLatin1String("next"))
                t.next();
            else if (move == QLatin1String("prior"))
                t.prior();
            else
                t.moveBy(move.toInt());
        }
        QCOMPARE(t.recNo(), row);
        QCOMPARE(t.value(QStringLiteral("Dateiname")).toString(), name(row));
        QCOMPARE(t.bof(), bof);
        QCOMPARE(t.eof(), eof);
    }

    void loopsVisitEveryRowOnce()
    {
        Fixture db;
        QStringList expected;
        for (int i = 0; i < 7; ++i) {
            db.addMedia(QStringLiteral("file:///m/"), name(i));
            expected.append(name(i));
        }
        TableObject& t = db.table(QStringLiteral("Media"));
        QCOMPARE(t.recordCount(), 7);
        QCOMPARE(walk(t, QStringLiteral("Dateiname")), expected);

        QStringList backwards;
        t.last();
        while (!t.bof() && backwards.size() < 100) {
            backwards.append(t.value(QStringLiteral("Dateiname")).toString());
            t.prior();
        }
        std::reverse(backwards.begin(), backwards.end());
        QCOMPARE(backwards, expected);

        // Deleting while walking ends, and removes exactly the rows chosen.
        t.first();
        int guard = 0;
        while (!t.eof() && ++guard < 100) {
            const QString n = t.value(QStringLiteral("Dateiname")).toString();
            if (n.mid(1, 2).toInt() % 2 == 0)
                t.deleteRecord();
            else
                t.next();
        }
        QCOMPARE(db.column(QStringLiteral("SELECT Dateiname FROM Media ORDER BY rowid")),
                 (QStringList{name(1), name(3), name(5)}));
    }

    void emptyTable()
    {
        Fixture db;
        TableObject& t = db.table(QStringLiteral("Media"));
        QVERIFY(t.isEmpty());
        QCOMPARE(t.recNo(), -1);
        QVERIFY(t.bof() && t.eof());
        t.next();
        t.moveBy(-10);
        t.last();
        QVERIFY(t.bof() && t.eof());
        QVERIFY(walk(t, QStringLiteral("Dateiname")).isEmpty());
        QVERIFY(!t.value(QStringLiteral("Dateiname")).isValid());
        QVERIFY_THROWS_EXCEPTION(OrdnixError, t.edit());
        QVERIFY_THROWS_EXCEPTION(OrdnixError, t.deleteRecord());

        // An append given up leaves the table as empty as before, loops included.
        t.append();
        QVERIFY(!t.isEmpty());
        t.cancel();
        QVERIFY(t.isEmpty());
        QCOMPARE(t.recNo(), -1);
        QVERIFY(t.bof() && t.eof());
        QCOMPARE(t.rowCount(), 0);
    }

    void appendEditPostCancelDelete()
    {
        Fixture db;
        TableObject& t = db.table(QStringLiteral("Media"));

        t.append();
        QCOMPARE(t.state(), TableObject::State::Insert);
        t.setValue(QStringLiteral("Dateipfad"), QStringLiteral("file:///musik/"));
        t.setValue(QStringLiteral("Dateiname"), QStringLiteral("lied.mp3"));
        t.setValue(QStringLiteral("Groesse"), 4711.0);
        QCOMPARE(db.count(QStringLiteral("Media")), 0); // nothing is written before the post
        t.post();
        QCOMPARE(t.state(), TableObject::State::Browse);
        // Committed at once: another connection sees it.
        QCOMPARE(db.rows(QStringLiteral("SELECT Dateipfad, Dateiname, Groesse FROM Media")),
                 (QList<QVariantList>{{QStringLiteral("file:///musik/"), QStringLiteral("lied.mp3"), 4711.0}}));

        t.edit();
        t.setValue(QStringLiteral("Beschreibung"), QStringLiteral("neu"));
        QCOMPARE(t.value(QStringLiteral("Beschreibung")).toString(), QStringLiteral("neu"));
        QCOMPARE(db.column(QStringLiteral("SELECT Beschreibung FROM Media")), QStringList{QString()});
        t.post();
        QCOMPARE(db.column(QStringLiteral("SELECT Beschreibung FROM Media")), QStringList{QStringLiteral("neu")});

        // setValue alone starts the edit; cancel throws the change away.
        t.setValue(QStringLiteral("Beschreibung"), QStringLiteral("verworfen"));
        QCOMPARE(t.state(), TableObject::State::Edit);
        t.cancel();
        QCOMPARE(t.value(QStringLiteral("Beschreibung")).toString(), QStringLiteral("neu"));
        QCOMPARE(db.column(QStringLiteral("SELECT Beschreibung FROM Media")), QStringList{QStringLiteral("neu")});

        // Cancelling an append removes the new row again.
        t.append();
        t.setValue(QStringLiteral("Dateiname"), QStringLiteral("weg.mp3"));
        QCOMPARE(t.rowCount(), 2);
        t.cancel();
        QCOMPARE(t.rowCount(), 1);
        QCOMPARE(t.recordCount(), 1);
        QCOMPARE(t.value(QStringLiteral("Dateiname")).toString(), QStringLiteral("lied.mp3"));
        QCOMPARE(db.count(QStringLiteral("Media")), 1);

        t.deleteRecord();
        QVERIFY(t.isEmpty());
        QCOMPARE(db.count(QStringLiteral("Media")), 0);
    }

    void movingSettlesThePendingRecord_data()
    {
        QTest::addColumn<bool>("append");
        QTest::addColumn<bool>("modify");
        QTest::addColumn<QString>("move");

        QTest::newRow("changed edit, next") << false << true << QStringLiteral("next");
        QTest::newRow("changed edit, prior") << false << true << QStringLiteral("prior");
        QTest::newRow("changed edit, locate") << false << true << QStringLiteral("locate");
        QTest::newRow("changed edit, refresh") << false << true << QStringLiteral("refresh");
        QTest::newRow("unchanged edit, next") << false << false << QStringLiteral("next");
        QTest::newRow("changed append, first") << true << true << QStringLiteral("first");
        QTest::newRow("changed append, row click") << true << true << QStringLiteral("moveTo");
        QTest::newRow("unchanged append, first") << true << false << QStringLiteral("first");
        QTest::newRow("unchanged append, last") << true << false << QStringLiteral("last");
    }

    void movingSettlesThePendingRecord()
    {
        QFETCH(bool, append);
        QFETCH(bool, modify);
        QFETCH(QString, move);

        Fixture db;
        for (int i = 0; i < 3; ++i)
            db.addMedia(QStringLiteral("file:///m/"), name(i));
        TableObject& t = db.table(QStringLiteral("Media"));
        t.moveTo(1);
        if (append)
            t.append();
        else
            t.edit();
        if (modify)
            t.setValue(QStringLiteral("Beschreibung"), QStringLiteral("getippt"));

        if (move == QLatin1String("next"))
            t.next();
        else if (move == QLatin1String("prior"))
            t.prior();
        else if (move == QLatin1String("first"))
            t.first();
        else if (move == QLatin1String("last"))
            t.last();
        else if (move == QLatin1String("moveTo"))
            t.moveTo(0);
        else if (move == QLatin1String("refresh"))
            t.refresh();
        else
            QVERIFY(t.locate(QStringLiteral("Dateipfad;Dateiname"), {QStringLiteral("file:///m/"), name(0)}));

        QCOMPARE(t.state(), TableObject::State::Browse);
        QCOMPARE(db.count(QStringLiteral("Media")), append && modify ? 4 : 3);
        QCOMPARE(t.recordCount(), db.count(QStringLiteral("Media")));
        const QStringList written =
            db.column(QStringLiteral("SELECT Beschreibung FROM Media WHERE Beschreibung IS NOT NULL"));
        QCOMPARE(written, modify ? QStringList{QStringLiteral("getippt")} : QStringList());
    }

    void locateByFolderAndName()
    {
        Fixture db;
        const QString p1 = QStringLiteral("file:///m/a/");
        const QString p2 = QStringLiteral("file:///m/b/");
        db.addMedia(p1, QStringLiteral("x.mp3")); // 0
        db.addMedia(p1, QStringLiteral("y.mp3")); // 1
        db.addMedia(p2, QStringLiteral("x.mp3")); // 2
        db.addMedia(p1, QStringLiteral("x.mp3")); // 3, same key as row 0
        db.addMedia(p1, QStringLiteral("X.mp3")); // 4
        TableObject& t = db.table(QStringLiteral("Media"));
        const QString key = QStringLiteral("Dateipfad;Dateiname");
        auto at = [&](const QString& folder, const QString& file) {
            return t.locate(key, {folder, file}) ? t.recNo() : -1;
        };

        QCOMPARE(at(p1, QStringLiteral("x.mp3")), 0); // the first in table order
        QCOMPARE(at(p2, QStringLiteral("x.mp3")), 2);
        QCOMPARE(at(p1, QStringLiteral("X.mp3")), 4); // case counts
        t.moveTo(1);
        QCOMPARE(at(QStringLiteral("file:///M/a/"), QStringLiteral("x.mp3")), -1);
        QCOMPARE(t.recNo(), 1); // a miss leaves the cursor where it was
        QCOMPARE(at(p1, QStringLiteral("x")), -1);

        // Rows appended after the first search are found, the first of equal keys still wins.
        t.append();
        t.setValue(QStringLiteral("Dateipfad"), p2);
        t.setValue(QStringLiteral("Dateiname"), QStringLiteral("neu.mp3"));
        t.post();
        t.append();
        t.setValue(QStringLiteral("Dateipfad"), p1);
        t.setValue(QStringLiteral("Dateiname"), QStringLiteral("y.mp3"));
        t.post();
        QCOMPARE(at(p2, QStringLiteral("neu.mp3")), 5);
        QCOMPARE(at(p1, QStringLiteral("y.mp3")), 1);

        // An appended row still pending is posted by the search and then found.
        t.append();
        t.setValue(QStringLiteral("Dateipfad"), p2);
        t.setValue(QStringLiteral("Dateiname"), QStringLiteral("offen.mp3"));
        QCOMPARE(at(p2, QStringLiteral("offen.mp3")), 7);

        // After the key fields of a row changed, the old key leads to the next equal row.
        t.moveTo(0);
        t.setValue(QStringLiteral("Dateiname"), QStringLiteral("umbenannt.mp3"));
        t.post();
        QCOMPARE(at(p1, QStringLiteral("umbenannt.mp3")), 0);
        QCOMPARE(at(p1, QStringLiteral("x.mp3")), 3);

        // After deletions the positions move up and deleted keys are gone.
        t.deleteRecord(); // row 3
        QCOMPARE(at(p1, QStringLiteral("x.mp3")), -1);
        QCOMPARE(at(p2, QStringLiteral("neu.mp3")), 4);
        t.moveTo(0);
        t.deleteRecord();
        QCOMPARE(at(p1, QStringLiteral("umbenannt.mp3")), -1);
        QCOMPARE(at(p2, QStringLiteral("x.mp3")), 1);
        QCOMPARE(at(p2, QStringLiteral("offen.mp3")), 5);
        QCOMPARE(t.value(QStringLiteral("Dateiname")).toString(), QStringLiteral("offen.mp3"));

        // Many rows posted after a search: the index grows and keeps finding old and new rows.
        const int before = t.recordCount();
        for (int i = 0; i < 300; ++i) {
            t.append();
            t.setValue(QStringLiteral("Dateipfad"), i % 2 ? p1 : p2);
            t.setValue(QStringLiteral("Dateiname"), QStringLiteral("n%1.mp3").arg(i));
            t.post();
        }
        for (int i = 0; i < 300; i += 7)
            QCOMPARE(at(i % 2 ? p1 : p2, QStringLiteral("n%1.mp3").arg(i)), before + i);
        QCOMPARE(at(p2, QStringLiteral("x.mp3")), 1);
        QCOMPARE(at(p1, QStringLiteral("n1.mp3")), before + 1);
        QVERIFY(t.locate(QStringList{QStringLiteral("Dateiname")}, {QStringLiteral("n2.mp3")}));
        QCOMPARE(t.recNo(), before + 2);

        // Numbers as keys: the counter, given as a number or as its text.
        const qint64 counter = t.value(QStringLiteral("fortlfnr")).toLongLong();
        t.moveTo(0);
        QVERIFY(t.locate(QStringLiteral("fortlfnr"), {counter}));
        QCOMPARE(t.recNo(), before + 2);
        t.moveTo(0);
        QVERIFY(t.locate(QStringLiteral("fortlfnr"), {QString::number(counter)}));
        QCOMPARE(t.recNo(), before + 2);
        QVERIFY(!t.locate(QStringLiteral("fortlfnr"), {-counter}));

        QVERIFY_THROWS_EXCEPTION(OrdnixError, t.locate(key, {p1}));
        QVERIFY_THROWS_EXCEPTION(OrdnixError, t.locate(QStringLiteral("Dateipfad;Gibtsnicht"), {p1, p1}));
    }

    void counterIsAssignedAndReadOnly()
    {
        Fixture db;
        TableObject& t = db.table(QStringLiteral("Media"));
        QList<qlonglong> numbers;
        for (int i = 0; i < 3; ++i) {
            t.append();
            t.setValue(QStringLiteral("Dateiname"), name(i));
            QVERIFY(!t.value(QStringLiteral("fortlfnr")).isValid());
            t.post();
            numbers.append(t.value(QStringLiteral("fortlfnr")).toLongLong());
        }
        QCOMPARE(db.rows(QStringLiteral("SELECT fortlfnr FROM Media ORDER BY rowid")),
                 (QList<QVariantList>{{numbers[0]}, {numbers[1]}, {numbers[2]}}));
        QVERIFY(numbers[0] > 0 && numbers[0] < numbers[1] && numbers[1] < numbers[2]);

        QVERIFY_THROWS_EXCEPTION(OrdnixError, t.setValue(QStringLiteral("fortlfnr"), 99));
        const int column = t.fieldIndex(QStringLiteral("fortlfnr"));
        QVERIFY(!(t.flags(t.index(0, column)) & Qt::ItemIsEditable));
        QVERIFY(t.flags(t.index(0, t.fieldIndex(QStringLiteral("Dateiname")))) & Qt::ItemIsEditable);
        QCOMPARE(t.state(), TableObject::State::Browse);
        QCOMPARE(t.value(QStringLiteral("fortlfnr")).toLongLong(), numbers[2]);
    }

    void discNumberIsAssignedWhenLeftEmpty()
    {
        Fixture db;
        TableObject& discs = db.table(QStringLiteral("archiv00"));
        auto addDisc = [&](const QString& title, const QVariant& number) {
            discs.append();
            discs.setValue(QStringLiteral("Name"), title);
            if (number.isValid())
                discs.setValue(QStringLiteral("recnr"), number);
            discs.post();
            return discs.value(QStringLiteral("recnr"));
        };
        const QVariant a = addDisc(QStringLiteral("A"), {});
        const QVariant b = addDisc(QStringLiteral("B"), {});
        const QVariant typed = addDisc(QStringLiteral("C"), 40);
        const QVariant d = addDisc(QStringLiteral("D"), {});
        QVERIFY(a.isValid() && b.isValid() && d.isValid());
        QCOMPARE(typed.toLongLong(), 40);
        const QSet<qlonglong> distinct{a.toLongLong(), b.toLongLong(), typed.toLongLong(), d.toLongLong()};
        QCOMPARE(distinct.size(), 4);
        QCOMPARE(db.rows(QStringLiteral("SELECT recnr FROM archiv00 ORDER BY rowid")),
                 (QList<QVariantList>{{a.toLongLong()}, {b.toLongLong()}, {40LL}, {d.toLongLong()}}));
    }

    void longTextIsKeptWhole()
    {
        Fixture db;
        TableObject& t = db.table(QStringLiteral("Bilddaten"));
        const QString longName = QString(290, QChar(u'ä')) + QStringLiteral("_Ende.jpg");
        QCOMPARE(longName.size(), 299);
        const QString longFolder = QStringLiteral("file:///") + QString(400, QLatin1Char('d')) + QLatin1Char('/');
        t.append();
        t.setValue(QStringLiteral("Dateiname"), longName);
        t.setValue(QStringLiteral("Dateipfad"), longFolder);
        t.post();
        QCOMPARE(db.column(QStringLiteral("SELECT Dateiname FROM Bilddaten")), QStringList{longName});
        t.refresh();
        QCOMPARE(t.value(QStringLiteral("Dateiname")).toString(), longName);
        QVERIFY(t.locate(QStringLiteral("Dateipfad;Dateiname"), {longFolder, longName}));
    }

    void datesRoundTripInLocalTime_data()
    {
        QTest::addColumn<QDateTime>("written");
        QTest::addColumn<QString>("stored");

        QTest::newRow("winter") << QDateTime(QDate(2021, 1, 31), QTime(23, 59, 58, 7))
                                << QStringLiteral("2021-01-31T23:59:58.007");
        QTest::newRow("summer") << QDateTime(QDate(2023, 7, 14), QTime(8, 5, 0))
                                << QStringLiteral("2023-07-14T08:05:00.000");
        QTest::newRow("given in UTC") << QDateTime(QDate(2023, 7, 14), QTime(6, 5, 0), QTimeZone::utc())
                                      << QStringLiteral("2023-07-14T08:05:00.000");
        QTest::newRow("date only") << QDateTime(QDate(1999, 12, 31), QTime(0, 0))
                                   << QStringLiteral("1999-12-31T00:00:00.000");
    }

    void datesRoundTripInLocalTime()
    {
        QFETCH(QDateTime, written);
        QFETCH(QString, stored);
        QCOMPARE(QDateTime(QDate(2023, 7, 14), QTime(12, 0)).offsetFromUtc(), 7200);

        Fixture db;
        TableObject& t = db.table(QStringLiteral("Bilddaten"));
        t.append();
        t.setValue(QStringLiteral("Dateiname"), QStringLiteral("a.jpg"));
        t.setValue(QStringLiteral("letzteAenderung"), written);
        t.post();
        QCOMPARE(db.column(QStringLiteral("SELECT letzteAenderung FROM Bilddaten")), QStringList{stored});
        t.refresh();
        const QDateTime read = t.value(QStringLiteral("letzteAenderung")).toDateTime();
        QCOMPARE(read, written);
        QCOMPARE(read.timeSpec(), Qt::LocalTime);
        QCOMPARE(read.time(), written.toLocalTime().time());
    }

    void datesSortAsText()
    {
        Fixture db;
        TableObject& t = db.table(QStringLiteral("Media"));
        const QList<QDateTime> times = {
            QDateTime(QDate(2023, 10, 2), QTime(9, 0)),           QDateTime(QDate(2023, 1, 2), QTime(10, 0)),
            QDateTime(QDate(2023, 10, 2), QTime(8, 59, 59, 999)), QDateTime(QDate(1989, 5, 1), QTime(12, 0)),
            QDateTime(QDate(2024, 2, 29), QTime(0, 0)),
        };
        for (const QDateTime& time : times) {
            t.append();
            t.setValue(QStringLiteral("Erstelldatum"), time);
            t.post();
        }
        QList<QDateTime> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        QList<QDateTime> bySql;
        for (const QString& text : db.column(QStringLiteral("SELECT Erstelldatum FROM Media ORDER BY Erstelldatum")))
            bySql.append(TableObject::parseStoredDateTime(text));
        QCOMPARE(bySql, sorted);
    }

    void blobRoundTrip()
    {
        Fixture db;
        TableObject& t = db.table(QStringLiteral("Bilddaten"));
        QByteArray picture("\xFF\xD8\xFF\xE0", 4);
        picture += QByteArray(5000, '\0') + QByteArray("\x01\x02\xFF\xD9", 4);
        t.append();
        t.setValue(QStringLiteral("Dateiname"), QStringLiteral("a.jpg"));
        t.setValue(QStringLiteral("chin"), picture);
        t.post();
        QCOMPARE(t.value(QStringLiteral("chin")).toByteArray(), picture);
        QCOMPARE(db.rows(QStringLiteral("SELECT chin FROM Bilddaten")).first().first().toByteArray(), picture);

        // Re-read from the file, then changing another field leaves the picture as it is.
        t.refresh();
        QCOMPARE(t.value(QStringLiteral("chin")).toByteArray(), picture);
        t.setValue(QStringLiteral("Beschreibung"), QStringLiteral("mit Bild"));
        t.post();
        t.refresh();
        QCOMPARE(t.value(QStringLiteral("chin")).toByteArray(), picture);
        QCOMPARE(db.rows(QStringLiteral("SELECT chin FROM Bilddaten")).first().first().toByteArray(), picture);

        // Clearing it stores nothing.
        t.setValue(QStringLiteral("chin"), QVariant());
        t.post();
        QVERIFY(db.rows(QStringLiteral("SELECT chin FROM Bilddaten")).first().first().isNull());

        // Browsing more pictures than are kept in memory: each still shows its own.
        auto pictureOf = [](int i) -> QByteArray {
            return QByteArray("\xFF\xD8", 2) + QByteArray::number(i) + QByteArray(i, 'x');
        };
        for (int i = 1; i <= 150; ++i) {
            t.append();
            t.setValue(QStringLiteral("Dateiname"), QStringLiteral("b%1.jpg").arg(i));
            t.setValue(QStringLiteral("chin"), pictureOf(i));
            t.post();
        }
        t.refresh();
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 1; i <= 150; ++i) {
                t.moveTo(i);
                QCOMPARE(t.value(QStringLiteral("chin")).toByteArray(), pictureOf(i));
            }
        }
        t.moveTo(0);
        QVERIFY(t.value(QStringLiteral("chin")).toByteArray().isEmpty());
    }

    void disabledControlsSendOneResetAtTheEnd()
    {
        Fixture db;
        for (int i = 0; i < 3; ++i)
            db.addMedia(QStringLiteral("file:///m/"), name(i));
        TableObject& t = db.table(QStringLiteral("Media"));
        QSignalSpy inserted(&t, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&t, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(&t, &QAbstractItemModel::dataChanged);
        QSignalSpy layout(&t, &QAbstractItemModel::layoutChanged);
        QSignalSpy reset(&t, &QAbstractItemModel::modelReset);

        t.disableControls();
        t.disableControls(); // nested: only the outer enable counts
        for (int i = 3; i < 6; ++i) {
            t.append();
            t.setValue(QStringLiteral("Dateiname"), name(i));
            t.post();
        }
        t.first();
        t.setValue(QStringLiteral("Beschreibung"), QStringLiteral("geändert"));
        t.next(); // posts
        t.deleteRecord();
        t.append();
        t.cancel();
        t.enableControls();
        QVERIFY(t.controlsDisabled());
        QCOMPARE(reset.size(), 0);
        t.enableControls();

        QCOMPARE(inserted.size(), 0);
        QCOMPARE(removed.size(), 0);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(layout.size(), 0);
        QCOMPARE(reset.size(), 1);
        QCOMPARE(t.rowCount(), 5);
        QCOMPARE(db.count(QStringLiteral("Media")), 5);
        QCOMPARE(t.data(t.index(0, t.fieldIndex(QStringLiteral("Beschreibung")))).toString(),
                 QStringLiteral("geändert"));

        // Enabled again, row signals flow as before.
        t.append();
        QCOMPARE(inserted.size(), 1);
        t.cancel();
        QCOMPARE(removed.size(), 1);
    }

    void modelStaysConsistentWhileEditing()
    {
        Fixture db;
        for (int i = 0; i < 4; ++i)
            db.addMedia(QStringLiteral("file:///m/"), name(i));
        TableObject& t = db.table(QStringLiteral("Media"));
        QAbstractItemModelTester tester(&t, QAbstractItemModelTester::FailureReportingMode::QtTest);

        t.append();
        t.setValue(QStringLiteral("Dateiname"), QStringLiteral("neu.mp3"));
        QCOMPARE(t.data(t.index(4, t.fieldIndex(QStringLiteral("Dateiname")))).toString(), QStringLiteral("neu.mp3"));
        t.post();
        t.append();
        t.cancel();
        t.moveTo(1);
        t.setValue(QStringLiteral("Groesse"), QStringLiteral("1234"));
        QCOMPARE(t.data(t.index(1, t.fieldIndex(QStringLiteral("Groesse")))).toString(), QStringLiteral("1234"));
        t.cancel();
        QVERIFY(t.setData(t.index(2, t.fieldIndex(QStringLiteral("Beschreibung"))), QStringLiteral("im Raster")));
        QCOMPARE(db.column(QStringLiteral("SELECT Beschreibung FROM Media WHERE Beschreibung IS NOT NULL")),
                 QStringList{QStringLiteral("im Raster")});
        t.deleteRecord();
        t.last();
        t.deleteRecord();
        t.refresh();
        t.disableControls();
        t.append();
        t.setValue(QStringLiteral("Dateiname"), QStringLiteral("still.mp3"));
        t.post();
        t.enableControls();
        t.close();
        t.open();
        QCOMPARE(t.rowCount(), 4);
    }

    void closePostsAPendingChange_data()
    {
        QTest::addColumn<bool>("append");
        QTest::newRow("edit") << false;
        QTest::newRow("append") << true;
    }

    void closePostsAPendingChange()
    {
        QFETCH(bool, append);
        Fixture db;
        db.addMedia(QStringLiteral("file:///m/"), name(0));
        TableObject& t = db.table(QStringLiteral("Media"));
        if (append)
            t.append();
        t.setValue(QStringLiteral("Beschreibung"), QStringLiteral("nicht verlieren"));
        t.close();
        QVERIFY(!t.isActive());
        QCOMPARE(db.column(QStringLiteral("SELECT Beschreibung FROM Media ORDER BY rowid")).last(),
                 QStringLiteral("nicht verlieren"));
        QCOMPARE(db.count(QStringLiteral("Media")), append ? 2 : 1);
        QVERIFY_THROWS_EXCEPTION(OrdnixError, t.first());
    }
};

QTEST_GUILESS_MAIN(TestTableObject)
#include "tst_tableobject.moc"
