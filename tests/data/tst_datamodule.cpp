#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "data/LogCheckpointer.h"
#include "platform/OrdnixError.h"
#include "support/PlainConnection.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QString created(const QString& path)
{
    Catalogue::create(path);
    return path;
}

// A fresh catalogue with a plain connection of the test's own, which sees only committed rows.
class Fixture
{
public:
    const QString& path() const { return m_path; }
    QString folder() const { return m_dir.path(); }
    bool exec(const QString& sql) const { return m_plain.exec(sql); }
    QList<QVariantList> rows(const QString& sql) const { return m_plain.rows(sql); }

private:
    QTemporaryDir m_dir;
    QString m_path = created(m_dir.filePath(QStringLiteral("media.db")));
    PlainConnection m_plain{m_path};
};

QStringList titles(TableObject* t)
{
    QStringList out;
    for (int row = 0; row < t->recordCount(); ++row)
        out.append(t->valueAt(row, t->fieldIndex(QStringLiteral("Titel"))).toString());
    return out;
}

// Every row the contents table holds belongs to the current disc.
bool followsCurrentDisc(const DataModule& dm)
{
    const QVariant disc = dm.MSarchiv00->value(QStringLiteral("recnr"));
    const int link = dm.MSarchiv01->fieldIndex(QStringLiteral("fortlfnr"));
    for (int row = 0; row < dm.MSarchiv01->recordCount(); ++row) {
        if (!disc.isValid() || dm.MSarchiv01->valueAt(row, link) != disc) {
            qWarning() << "row" << row << "of disc" << dm.MSarchiv01->valueAt(row, link) << "under disc" << disc;
            return false;
        }
    }
    return true;
}

} // namespace

class TestDataModule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void opensEveryTableInOrderUnderItsNames()
    {
        Fixture db;
        DataModule dm(db.path());
        QCOMPARE(dm.objectName(), QStringLiteral("DataM1"));
        QStringList opened;
        for (TableObject* t : dm.tables())
            connect(t, &TableObject::activeChanged, this, [&opened, t](bool active) {
                if (active)
                    opened.append(t->objectName());
            });
        dm.DataModuleCreate();

        const QList<std::pair<const char*, const char*>> expected = {
            {"MSBild", "DSBild"},
            {"MSTypen", "DSTypen"},
            {"MSProduktbildvariante", "DSProduktbildvariante"},
            {"MSProduktbezeichnung", "DSProduktbezeichnung"},
            {"MSSonstiges", "DSSonstiges"},
            {"MSSpezialProdukt", "DSSpezialProdukt"},
            {"MSVariablen", "DSVAriablen"},
            {"MScdmedium", "DScdmedium"},
            {"MScdrubrik", "DScdrubrik"},
            {"MScdlagerort", "DSlagerort"},
            {"MSarchiv00", "DSarchiv00"},
            {"MSarchiv01", "DSarchiv01"},
            {"MSMedia", "DSMedia"},
            {"MSMediaTyp", "DSMediaTyp"},
        };
        QStringList order;
        for (const auto& [object, source] : expected) {
            const QString objectName = QLatin1String(object);
            order.append(objectName);
            TableObject* table = dm.table(objectName);
            QVERIFY2(table, object);
            QVERIFY2(table->isActive(), object);
            DataSource* ds = dm.dataSource(QLatin1String(source));
            QVERIFY2(ds, source);
            QCOMPARE(ds->dataSet(), table);
        }
        QCOMPARE(opened, order);
        QCOMPARE(dm.MSVariablen->tableName(), QStringLiteral("Variablen"));
        QCOMPARE(dm.DSVAriablen->dataSet(), dm.MSVariablen);
        QCOMPARE(dm.MScdlagerort->tableName(), QStringLiteral("cdlagerort"));

        // Each opens on its first row.
        QCOMPARE(dm.MSVariablen->recNo(), 0);
        QCOMPARE(dm.MSVariablen->value(QStringLiteral("Wert")).toString(), QStringLiteral("Bildergalerie"));
        QCOMPARE(dm.MScdmedium->value(QStringLiteral("Medium")).toString(), QStringLiteral("CD"));
        QCOMPARE(dm.MSMediaTyp->value(QStringLiteral("Dateityp")).toString(), QStringLiteral("*.mp3"));
        QVERIFY(dm.MSBild->isEmpty() && dm.MSBild->eof());

        dm.DataModuleDestroy();
        for (TableObject* t : dm.tables())
            QVERIFY(!t->isActive());
    }

    void missingCatalogueIsNotCreated()
    {
        QTemporaryDir tmp;
        const QString path = tmp.filePath(QStringLiteral("fehlt/media.db"));
        DataModule dm(path);
        try {
            dm.DataModuleCreate();
            QFAIL("opened a missing catalogue");
        } catch (const OrdnixError& error) {
            QVERIFY2(error.message().contains(path), qPrintable(error.message()));
        }
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(!QFileInfo::exists(tmp.filePath(QStringLiteral("fehlt"))));
        for (TableObject* t : dm.tables())
            QVERIFY(!t->isActive());
    }

    void contentsFollowTheCurrentDisc()
    {
        Fixture db;
        QVERIFY(db.exec(QStringLiteral("INSERT INTO archiv00 (recnr, Name) VALUES (7, 'A'), (3, 'B'), (12, 'C')")));
        QVERIFY(db.exec(QStringLiteral("INSERT INTO Archiv01 (fortlfnr, recnr, Titel) VALUES "
                                       "(3, 7, 'b1'), (7, 3, 'a1'), (7, 3, 'a2'), (3, 1, 'b2'), (99, 7, 'fremd')")));
        DataModule dm(db.path());
        dm.DataModuleCreate();

        // Opened on the first disc; the detail's fortlfnr, not its recnr, is the link.
        QCOMPARE(dm.MSarchiv00->value(QStringLiteral("Name")).toString(), QStringLiteral("A"));
        QCOMPARE(titles(dm.MSarchiv01), (QStringList{QStringLiteral("a1"), QStringLiteral("a2")}));
        QCOMPARE(dm.MSarchiv01->recNo(), 0);

        dm.MSarchiv00->next();
        QCOMPARE(titles(dm.MSarchiv01), (QStringList{QStringLiteral("b1"), QStringLiteral("b2")}));
        dm.MSarchiv00->next();
        QVERIFY(dm.MSarchiv01->isEmpty());
        QVERIFY(dm.MSarchiv01->eof() && dm.MSarchiv01->bof());
        QVERIFY(dm.MSarchiv00->locate(QStringLiteral("Name"), {QStringLiteral("A")}));
        QCOMPARE(titles(dm.MSarchiv01), (QStringList{QStringLiteral("a1"), QStringLiteral("a2")}));

        // A content row appended under disc B gets B's number before anything else is written.
        dm.MSarchiv00->moveTo(1);
        dm.MSarchiv01->append();
        QCOMPARE(dm.MSarchiv01->value(QStringLiteral("fortlfnr")).toLongLong(), 3);
        dm.MSarchiv01->setValue(QStringLiteral("Titel"), QStringLiteral("b3"));
        dm.MSarchiv01->setValue(QStringLiteral("Liednr"), 3);
        dm.MSarchiv01->post();
        QCOMPARE(db.rows(QStringLiteral("SELECT fortlfnr FROM Archiv01 WHERE Titel = 'b3'")),
                 QList<QVariantList>{{3LL}});
        QCOMPARE(titles(dm.MSarchiv01),
                 (QStringList{QStringLiteral("b1"), QStringLiteral("b2"), QStringLiteral("b3")}));
        dm.MSarchiv00->first();
        QCOMPARE(titles(dm.MSarchiv01), (QStringList{QStringLiteral("a1"), QStringLiteral("a2")}));

        // A pending content edit is posted before the contents follow another disc.
        dm.MSarchiv01->setValue(QStringLiteral("Interpret"), QStringLiteral("getippt"));
        dm.MSarchiv00->next();
        QCOMPARE(db.rows(QStringLiteral("SELECT Titel FROM Archiv01 WHERE Interpret = 'getippt'")),
                 QList<QVariantList>{{QStringLiteral("a1")}});
        QVERIFY(followsCurrentDisc(dm));
    }

    void newDiscGetsItsOwnContents()
    {
        Fixture db;
        QVERIFY(db.exec(QStringLiteral("INSERT INTO archiv00 (recnr, Name) VALUES (1, 'A')")));
        QVERIFY(db.exec(QStringLiteral("INSERT INTO Archiv01 (fortlfnr, Titel) VALUES (1, 'a1')")));
        DataModule dm(db.path());
        dm.DataModuleCreate();

        // The disc scan: a new disc row without a number, then its files.
        dm.MSarchiv00->append();
        QVERIFY(dm.MSarchiv01->isEmpty()); // a disc being entered has no contents yet
        dm.MSarchiv00->setValue(QStringLiteral("Name"), QStringLiteral("URLAUB_2023"));
        dm.MSarchiv00->setValue(QStringLiteral("Medium"), QStringLiteral("CD"));
        dm.MSarchiv00->post();
        const QVariant number = dm.MSarchiv00->value(QStringLiteral("recnr"));
        QVERIFY(number.isValid());
        QVERIFY(number.toLongLong() != 1);
        QVERIFY(dm.MSarchiv01->isEmpty());
        for (const char* title : {"x.jpg", "y.jpg"}) {
            dm.MSarchiv01->append();
            dm.MSarchiv01->setValue(QStringLiteral("Titel"), QLatin1String(title));
            dm.MSarchiv01->post();
        }
        QCOMPARE(db.rows(QStringLiteral("SELECT fortlfnr, Titel FROM Archiv01 ORDER BY rowid")),
                 (QList<QVariantList>{{1LL, QStringLiteral("a1")},
                                      {number.toLongLong(), QStringLiteral("x.jpg")},
                                      {number.toLongLong(), QStringLiteral("y.jpg")}}));
        QVERIFY(followsCurrentDisc(dm));
    }

    void contentsStayWithTheDiscShown()
    {
        Fixture db;
        QVERIFY(db.exec(QStringLiteral("INSERT INTO archiv00 (recnr, Name) VALUES (1, 'A'), (2, 'B')")));
        QVERIFY(db.exec(QStringLiteral("INSERT INTO Archiv01 (fortlfnr, Titel) VALUES (1, 'a1'), (2, 'b1')")));
        DataModule dm(db.path());
        dm.DataModuleCreate();
        QCOMPARE(titles(dm.MSarchiv01), QStringList{QStringLiteral("a1")});

        // A disc row begun and given up: the cursor lands on a disc, and the contents are that disc's.
        dm.MSarchiv00->append();
        dm.MSarchiv00->cancel();
        QVERIFY(followsCurrentDisc(dm));
        dm.MSarchiv01->append();
        dm.MSarchiv01->setValue(QStringLiteral("Titel"), QStringLiteral("neu"));
        dm.MSarchiv01->post();
        QCOMPARE(db.rows(QStringLiteral("SELECT fortlfnr FROM Archiv01 WHERE Titel = 'neu'")),
                 QList<QVariantList>{{dm.MSarchiv00->value(QStringLiteral("recnr"))}});

        // Deleting the current disc moves the contents on to the next current one.
        dm.MSarchiv00->first();
        dm.MSarchiv00->deleteRecord();
        QCOMPARE(dm.MSarchiv00->value(QStringLiteral("Name")).toString(), QStringLiteral("B"));
        QVERIFY(followsCurrentDisc(dm));
        QVERIFY(!dm.MSarchiv01->isEmpty());

        // A content row begun but left empty counts as unchanged: moving on drops it.
        dm.MSarchiv01->append();
        QVERIFY(!dm.MSarchiv01->isModified());
        dm.MSarchiv01->first();
        QCOMPARE(db.rows(QStringLiteral("SELECT count(*) FROM Archiv01")).first().first().toInt(), 3);

        // Discs removed by a statement and re-read: the contents follow the re-read table.
        dm.execute(QStringLiteral("DELETE FROM archiv00"));
        dm.MSarchiv00->refresh();
        QVERIFY(dm.MSarchiv00->isEmpty());
        QVERIFY(dm.MSarchiv01->isEmpty());
    }

    void emptyDiscTableGivesEmptyContents()
    {
        Fixture db;
        QVERIFY(db.exec(QStringLiteral("INSERT INTO Archiv01 (fortlfnr, Titel) VALUES (1, 'a1'), (NULL, 'ohne')")));
        DataModule dm(db.path());
        dm.DataModuleCreate();
        QVERIFY(dm.MSarchiv00->isEmpty());
        QVERIFY(dm.MSarchiv01->isEmpty());
        QVERIFY(dm.MSarchiv01->eof());
    }

    void destroyPostsPendingEdits()
    {
        Fixture db;
        QVERIFY(db.exec(QStringLiteral("INSERT INTO Media (Dateiname) VALUES ('a.mp3')")));
        {
            DataModule dm(db.path());
            dm.DataModuleCreate();
            dm.MSMedia->setValue(QStringLiteral("Beschreibung"), QStringLiteral("nicht verlieren"));
            dm.MSVariablen->setValue(QStringLiteral("Wert"), QStringLiteral("Meine Galerie"));
            dm.MSBild->append();
            dm.MSBild->setValue(QStringLiteral("Dateiname"), QStringLiteral("neu.jpg"));
            dm.DataModuleDestroy();
            QVERIFY(!dm.database().isOpen());
        }
        QCOMPARE(db.rows(QStringLiteral("SELECT Beschreibung FROM Media")),
                 QList<QVariantList>{{QStringLiteral("nicht verlieren")}});
        QCOMPARE(db.rows(QStringLiteral("SELECT Wert FROM Variablen")),
                 QList<QVariantList>{{QStringLiteral("Meine Galerie")}});
        QCOMPARE(db.rows(QStringLiteral("SELECT Dateiname FROM Bilddaten")),
                 QList<QVariantList>{{QStringLiteral("neu.jpg")}});

        // The destructor alone does the same.
        {
            DataModule dm(db.path());
            dm.DataModuleCreate();
            dm.MSMedia->setValue(QStringLiteral("Beschreibung"), QStringLiteral("beim Beenden"));
        }
        QCOMPARE(db.rows(QStringLiteral("SELECT Beschreibung FROM Media")),
                 QList<QVariantList>{{QStringLiteral("beim Beenden")}});
    }

    void theLogIsCopiedBackWhilePosting()
    {
        Fixture db;
        const qint64 before = QFileInfo(db.path()).size();
        // Enough rows for the log to pass the point where copying starts a few times over.
        const int count = 3000;
        {
            DataModule dm(db.path());
            dm.DataModuleCreate();
            TableObject* media = dm.MSMedia;
            for (int i = 0; i < count; ++i) {
                media->append();
                media->setValue(QStringLiteral("Dateipfad"), QStringLiteral("file:///m/"));
                media->setValue(QStringLiteral("Dateiname"), QStringLiteral("datei%1.mp3").arg(i));
                media->post();
            }
            // The copy runs aside; the database file itself grows while the module is open.
            QTRY_VERIFY(QFileInfo(db.path()).size() > before);
            dm.DataModuleDestroy();
        }
        QCOMPARE(db.rows(QStringLiteral("SELECT COUNT(*) FROM Media")).first().first().toInt(), count);

        // The copying thread itself, on a connection of the test's own.
        QSqlDatabase own = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("own"));
        own.setDatabaseName(db.path());
        QVERIFY(own.open());
        {
            const std::unique_ptr<LogCheckpointer> checkpointer = LogCheckpointer::start(own, db.path());
            QVERIFY(checkpointer);
            QSqlQuery q(own);
            QVERIFY(q.prepare(QStringLiteral("INSERT INTO Media (Dateipfad, Dateiname) VALUES ('file:///n/', ?)")));
            for (int i = 0; i < count; ++i) {
                q.addBindValue(QStringLiteral("n%1.mp3").arg(i));
                QVERIFY(q.exec());
            }
            QTRY_VERIFY(checkpointer->copiesDone() > 0);
        }
        own.close();
        own = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("own"));
        QCOMPARE(db.rows(QStringLiteral("SELECT COUNT(*) FROM Media")).first().first().toInt(), 2 * count);
    }

    void executeRunsOnTheModulesConnection()
    {
        Fixture db;
        DataModule dm(db.path());
        dm.DataModuleCreate();
        QCOMPARE(dm.execute(QStringLiteral("DELETE FROM cdmedium")), 3);
        QCOMPARE(db.rows(QStringLiteral("SELECT count(*) FROM cdmedium")).first().first().toInt(), 0);
        dm.MScdmedium->refresh();
        QVERIFY(dm.MScdmedium->isEmpty());
        QVERIFY_THROWS_EXCEPTION(OrdnixError, dm.execute(QStringLiteral("DELETE FROM gibtsnicht")));
    }
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_datamodule.moc"
