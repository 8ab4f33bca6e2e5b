#include "CatalogueFixture.h"

#include "gridtools/CatalogueModels.h"
#include "gridtools/GridCollation.h"
#include "gridtools/GridFilter.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

namespace {

using Filters = QList<QPair<int, QString>>;

QStringList texts(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* item : items)
        out.append(QString::fromUtf8(item));
    return out;
}

using Kind = CatalogueProxy::RowKind;

// The grid's models over the fixture's table, checked by QAbstractItemModelTester on every change.
struct Models
{
    QList<GridColumnObject*> columns;
    std::unique_ptr<GridModel> model;
    std::unique_ptr<CatalogueProxy> proxy;
    std::unique_ptr<QAbstractItemModelTester> tester;
    QObject columnOwner;

    Models(TableObject* table, const GridDef& def)
    {
        for (int i = 0; i < def.columns.size(); ++i)
            columns.append(
                new GridColumnObject(def.columns[i], table->fieldIndex(def.columns[i].field), i, &columnOwner));
        model = std::make_unique<GridModel>(table, columns);
        proxy = std::make_unique<CatalogueProxy>(model.get(), def);
        tester = std::make_unique<QAbstractItemModelTester>(proxy.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    ~Models()
    {
        tester.reset();
        proxy.reset();
        model.reset();
    }

    // The shown rows as text: "G:" group rows, "F:" group footers with their count, data rows by name.
    QStringList rows() const
    {
        QStringList out;
        for (int r = 0; r < proxy->rowCount(); ++r) {
            switch (proxy->kind(r)) {
            case Kind::Group:
                out.append(QStringLiteral("G:") + proxy->index(r, 0).data().toString());
                break;
            case Kind::GroupFooter:
                out.append(QStringLiteral("F:") + proxy->index(r, 1).data().toString());
                break;
            case Kind::Data:
                out.append(proxy->index(r, 1).data().toString());
                break;
            }
        }
        return out;
    }

    int groupRow(const QString& folder) const
    {
        for (int r = 0; r < proxy->rowCount(); ++r) {
            if (proxy->kind(r) == Kind::Group && proxy->index(r, 0).data().toString().endsWith(folder))
                return r;
        }
        return -1;
    }
};

constexpr int folderColumn = 0;
constexpr int nameColumn = 1;
constexpr int descriptionColumn = 2;
constexpr int sizeColumn = 3;

const CatalogueProxy::Keys byName = {{nameColumn, Qt::AscendingOrder}};
const CatalogueProxy::Keys byFolder = {{folderColumn, Qt::AscendingOrder}};

void rename(TableObject* table, int row, const char* field, const char* value)
{
    table->moveTo(row);
    table->setValue(QLatin1String(field), QString::fromUtf8(value));
    table->post();
}

} // namespace

class TestCatalogueProxy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void groupRowsFootersAndSummaries()
    {
        CatalogueFixture f({{"/b/", "b1.jpg", nullptr, 1000},
                            {"/a/", "a2.jpg", nullptr, 2500},
                            {"/a/", "a1.jpg", nullptr, 1500},
                            {"/c/", "c1.jpg", nullptr, 10},
                            {"/a/", "a3.jpg", nullptr, 1000000}});
        Models m(f.table(), CatalogueFixture::definition());
        m.proxy->setSortKeys(byName);
        m.proxy->setGroupKeys(byFolder);

        // Groups start collapsed; their footers show while they are expanded.
        QCOMPARE(m.rows(), texts({"G:Dateipfad : /a/", "G:Dateipfad : /b/", "G:Dateipfad : /c/"}));
        QVERIFY(m.proxy->dataRows().isEmpty());
        m.proxy->setExpanded(m.groupRow(QStringLiteral("/a/")), true);
        QCOMPARE(m.rows(), texts({"G:Dateipfad : /a/", "a1.jpg", "a2.jpg", "a3.jpg", "F:Anzahl: 3", "G:Dateipfad : /b/",
                                  "G:Dateipfad : /c/"}));
        QCOMPARE(f.names(m.proxy->dataRows()), texts({"a1.jpg", "a2.jpg", "a3.jpg"}));
        // The footer row counts and adds up every row that passes the filter, collapsed or not.
        QCOMPARE(m.proxy->footerText(nameColumn), QStringLiteral("Anzahl: 5"));
        QCOMPARE(m.proxy->footerText(sizeColumn), QStringLiteral("Summe: 1.005.010"));
        QCOMPARE(m.proxy->footerText(folderColumn), QString());
        m.proxy->setFilter(nameColumn, QStringLiteral("a"));
        QCOMPARE(m.proxy->footerText(sizeColumn), QStringLiteral("Summe: 1.004.000"));

        // Grouped by a column without group summaries: no footers.
        m.proxy->setFilter(nameColumn, QString());
        m.proxy->setGroupKeys({{descriptionColumn, Qt::AscendingOrder}});
        m.proxy->setAllExpanded(true);
        QCOMPARE(m.rows(), texts({"G:Beschreibung : (leer)", "a1.jpg", "a2.jpg", "a3.jpg", "b1.jpg", "c1.jpg"}));

        // Two levels: the inner groups inside the outer ones, each folder's footer after its rows.
        m.proxy->setGroupKeys({{descriptionColumn, Qt::AscendingOrder}, {folderColumn, Qt::DescendingOrder}});
        m.proxy->setAllExpanded(true);
        QCOMPARE(m.rows(),
                 texts({"G:Beschreibung : (leer)", "G:Dateipfad : /c/", "c1.jpg", "F:Anzahl: 1", "G:Dateipfad : /b/",
                        "b1.jpg", "F:Anzahl: 1", "G:Dateipfad : /a/", "a1.jpg", "a2.jpg", "a3.jpg", "F:Anzahl: 3"}));
        QCOMPARE(m.proxy->level(1), 2);

        // Footers shown always stand under collapsed groups too.
        Models always(f.table(), CatalogueFixture::definition(GroupFooterMode::Always));
        always.proxy->setGroupKeys(byFolder);
        QCOMPARE(always.rows(), texts({"G:Dateipfad : /a/", "F:Anzahl: 3", "G:Dateipfad : /b/", "F:Anzahl: 1",
                                       "G:Dateipfad : /c/", "F:Anzahl: 1"}));
    }

    void shownRows_data()
    {
        QTest::addColumn<Filters>("filters");
        QTest::addColumn<Qt::SortOrder>("order");
        QTest::addColumn<bool>("grouped");
        QTest::addColumn<QString>("collapsed");
        QTest::addColumn<QStringList>("expected");

        const Filters felge{{descriptionColumn, QStringLiteral("felge")}};
        QTest::newRow("filter, umlaut sorted with its letter")
            << felge << Qt::AscendingOrder << false << QString() << texts({"a1.jpg", "Ä3.jpg", "b1.jpg"});
        QTest::newRow("filter, descending")
            << felge << Qt::DescendingOrder << false << QString() << texts({"b1.jpg", "Ä3.jpg", "a1.jpg"});
        QTest::newRow("grouped, a collapsed group left out")
            << felge << Qt::AscendingOrder << true << QStringLiteral("/a/") << texts({"b1.jpg"});
        QTest::newRow("grouped, all open") << Filters{} << Qt::DescendingOrder << true << QString()
                                           << texts({"Ä3.jpg", "a2.jpg", "a1.jpg", "b2.jpg", "b1.jpg", "c1.jpg"});
        QTest::newRow("wildcards") << Filters{{nameColumn, QStringLiteral("?1.JPG")}} << Qt::AscendingOrder << false
                                   << QString() << texts({"a1.jpg", "b1.jpg", "c1.jpg"});
        QTest::newRow("every filter must pass")
            << Filters{{descriptionColumn, QStringLiteral("Spoiler")}, {folderColumn, QStringLiteral("/c/")}}
            << Qt::AscendingOrder << false << QString() << texts({"c1.jpg"});
        QTest::newRow("nothing passes") << Filters{{descriptionColumn, QStringLiteral("xyz")}} << Qt::AscendingOrder
                                        << true << QString() << QStringList{};
    }

    void shownRows()
    {
        QFETCH(const Filters, filters);
        QFETCH(const Qt::SortOrder, order);
        QFETCH(const bool, grouped);
        QFETCH(const QString, collapsed);
        QFETCH(const QStringList, expected);
        CatalogueFixture f({{"/b/", "b1.jpg", "Felge"},
                            {"/a/", "Ä3.jpg", "felge hinten"},
                            {"/c/", "c1.jpg", "Spoiler"},
                            {"/a/", "a1.jpg", "Felge vorn"},
                            {"/b/", "b2.jpg"},
                            {"/a/", "a2.jpg", "Spoiler"}});
        Models m(f.table(), CatalogueFixture::definition());
        for (const auto& [column, text] : filters)
            m.proxy->setFilter(column, text);
        m.proxy->setSortKeys({{nameColumn, order}});
        if (grouped) {
            m.proxy->setGroupKeys(byFolder);
            m.proxy->setAllExpanded(true);
            if (!collapsed.isEmpty())
                m.proxy->setExpanded(m.groupRow(collapsed), false);
        }
        QCOMPARE(f.names(m.proxy->dataRows()), expected);
    }

    void changedRecordsMoveWithoutReset()
    {
        CatalogueFixture f({{"/a/", "a1.jpg"}, {"/a/", "a2.jpg"}, {"/b/", "b1.jpg"}, {"/c/", "c1.jpg"}});
        Models m(f.table(), CatalogueFixture::definition());
        m.proxy->setSortKeys(byName);
        m.proxy->setGroupKeys(byFolder);
        m.proxy->setAllExpanded(true);
        QSignalSpy resets(m.proxy.get(), &QAbstractItemModel::modelAboutToBeReset);
        QSignalSpy layouts(m.proxy.get(), &QAbstractItemModel::layoutAboutToBeChanged);
        QSignalSpy moves(m.proxy.get(), &QAbstractItemModel::rowsMoved);

        // A new name moves the row within its group, and what points at it moves along.
        const QPersistentModelIndex a1 = m.proxy->index(m.proxy->rowOf(f.rowOf("a1.jpg")), nameColumn);
        rename(f.table(), f.rowOf("a1.jpg"), "Dateiname", "a9.jpg");
        QCOMPARE(m.rows(), texts({"G:Dateipfad : /a/", "a2.jpg", "a9.jpg", "F:Anzahl: 2", "G:Dateipfad : /b/", "b1.jpg",
                                  "F:Anzahl: 1", "G:Dateipfad : /c/", "c1.jpg", "F:Anzahl: 1"}));
        QCOMPARE(moves.count(), 1);
        QCOMPARE(a1.data().toString(), QStringLiteral("a9.jpg"));

        // The last record of a folder moves elsewhere: its group goes; a new folder makes a group.
        rename(f.table(), f.rowOf("c1.jpg"), "Dateipfad", "/b/");
        rename(f.table(), f.rowOf("a2.jpg"), "Dateipfad", "/d/");
        QCOMPARE(m.rows(), texts({"G:Dateipfad : /a/", "a9.jpg", "F:Anzahl: 1", "G:Dateipfad : /b/", "b1.jpg", "c1.jpg",
                                  "F:Anzahl: 2", "G:Dateipfad : /d/"}));

        // A record being appended stands last until it is posted, then takes its place.
        TableObject* t = f.table();
        t->append();
        t->setValue(QStringLiteral("Dateipfad"), QStringLiteral("/b/"));
        t->setValue(QStringLiteral("Dateiname"), QStringLiteral("b0.jpg"));
        QCOMPARE(m.rows().last(), QStringLiteral("b0.jpg"));
        t->post();
        QCOMPARE(m.rows(), texts({"G:Dateipfad : /a/", "a9.jpg", "F:Anzahl: 1", "G:Dateipfad : /b/", "b0.jpg", "b1.jpg",
                                  "c1.jpg", "F:Anzahl: 3", "G:Dateipfad : /d/"}));
        // A cancelled new record goes again.
        t->append();
        QCOMPARE(m.proxy->rowCount(), 10);
        t->cancel();
        QCOMPARE(m.proxy->rowCount(), 9);

        t->moveTo(f.rowOf("a9.jpg"));
        t->deleteRecord();
        QCOMPARE(m.rows(),
                 texts({"G:Dateipfad : /b/", "b0.jpg", "b1.jpg", "c1.jpg", "F:Anzahl: 3", "G:Dateipfad : /d/"}));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(layouts.count(), 0);

        // Single places found one by one agree with a sort of everything.
        m.proxy->setAllExpanded(true);
        const QStringList placed = f.names(m.proxy->dataRows());
        m.proxy->setSortKeys({});
        m.proxy->setSortKeys(byName);
        QCOMPARE(f.names(m.proxy->dataRows()), placed);
    }

    void changesWhileSuspendedArePlacedAtResume()
    {
        CatalogueFixture f({{"/a/", "01.jpg"},
                            {"/a/", "02.jpg"},
                            {"/a/", "03.jpg"},
                            {"/a/", "04.jpg"},
                            {"/a/", "05.jpg"},
                            {"/a/", "06.jpg"},
                            {"/a/", "07.jpg"},
                            {"/a/", "08.jpg"},
                            {"/a/", "09.jpg"},
                            {"/a/", "10.jpg"},
                            {"/a/", "11.jpg"},
                            {"/a/", "12.jpg", "Felge"}});
        Models m(f.table(), CatalogueFixture::definition());
        m.proxy->setSortKeys({{nameColumn, Qt::DescendingOrder}});
        m.proxy->setFilter(descriptionColumn, QStringLiteral("Felge"));
        QCOMPARE(f.names(m.proxy->dataRows()), texts({"12.jpg"}));

        // As a replacement run does it: every odd record gets the filtered value, the one shown loses it.
        m.proxy->suspend();
        for (int i = 1; i <= 12; ++i) {
            const int row = f.rowOf(QStringLiteral("%1.jpg").arg(i, 2, 10, QLatin1Char('0')).toUtf8().constData());
            rename(f.table(), row, "Beschreibung", i % 2 ? "Felge" : "Spoiler");
        }
        QCOMPARE(f.names(m.proxy->dataRows()), texts({"12.jpg"}));
        QCOMPARE(m.proxy->index(0, descriptionColumn).data().toString(), QStringLiteral("Spoiler"));
        m.proxy->resume();
        QCOMPARE(f.names(m.proxy->dataRows()), texts({"11.jpg", "09.jpg", "07.jpg", "05.jpg", "03.jpg", "01.jpg"}));
    }

    void sortingEverythingAgreesWithTheCollation()
    {
        // Folders, descriptions and names with umlauts, case variants, repeats and empty values:
        // the rows sorted at once come in the order the collation gives them one by one.
        const char* folders[] = {"/Äpfel/", "/apfel/", "/Birne/", "/zwetschge/"};
        const char* descriptions[] = {nullptr, "Öl", "ol", "Ofen", "Straße", "Strasse"};
        const char* names[] = {"b.jpg", "Ä.jpg", "a.jpg", "A.jpg", "ß.jpg", "ss.jpg", "10.jpg", "9.jpg"};
        CatalogueFixture f({});
        for (int i = 0; i < 96; ++i)
            f.add({folders[i % 4], names[(i * 5) % 8], descriptions[(i * 7) % 6]});
        Models m(f.table(), CatalogueFixture::definition());
        m.proxy->setSortKeys({{descriptionColumn, Qt::AscendingOrder}, {nameColumn, Qt::DescendingOrder}});
        m.proxy->setGroupKeys({{folderColumn, Qt::DescendingOrder}});
        m.proxy->setAllExpanded(true);

        QList<int> expected;
        for (int r = 0; r < f.table()->recordCount(); ++r)
            expected.append(r);
        auto value = [&](int row, const char* field) {
            return f.table()->data(f.table()->index(row, f.table()->fieldIndex(QLatin1String(field))),
                                   TableObject::RawRole);
        };
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            if (const int c = GridCollation::compare(value(a, "Dateipfad"), value(b, "Dateipfad")))
                return c > 0;
            if (const int c = GridCollation::compare(value(a, "Beschreibung"), value(b, "Beschreibung")))
                return c < 0;
            return GridCollation::compare(value(a, "Dateiname"), value(b, "Dateiname")) > 0;
        });
        QCOMPARE(m.proxy->dataRows(), expected);
    }

    void collation_data()
    {
        QTest::addColumn<QVariant>("left");
        QTest::addColumn<QVariant>("right");
        QTest::addColumn<int>("expected");
        auto text = [](const char* s) { return QVariant(QString::fromUtf8(s)); };
        QTest::newRow("umlaut beside its letter") << text("Ärger") << text("Apfel") << 1;
        QTest::newRow("umlaut before the next letter") << text("Äpfel") << text("Birne") << -1;
        QTest::newRow("accent decides only among equals") << text("Äpfel") << text("Apfel") << 1;
        QTest::newRow("ß as ss") << text("Straße") << text("Strasse") << 1;
        QTest::newRow("ß before st") << text("Maße") << text("Mast") << -1;
        QTest::newRow("case ignored") << text("apfel") << text("Birne") << -1;
        QTest::newRow("case decides among equals") << text("apfel") << text("Apfel") << 1;
        QTest::newRow("caron") << text("Škoda") << text("Seat") << 1;
        QTest::newRow("shorter first") << text("Ofen") << text("Ofenrohr") << -1;
        QTest::newRow("equal") << text("Öl") << text("Öl") << 0;
        QTest::newRow("empty value first") << QVariant() << text("A") << -1;
        QTest::newRow("numbers by value") << QVariant(qlonglong(9)) << QVariant(qlonglong(10)) << -1;
        QTest::newRow("text digits by letter") << text("9") << text("10") << 1;
        QTest::newRow("number before text") << QVariant(2.5) << text("1") << -1;
    }

    void collation()
    {
        QFETCH(const QVariant, left);
        QFETCH(const QVariant, right);
        QFETCH(const int, expected);
        QCOMPARE(GridCollation::compare(left, right), expected);
        QCOMPARE(GridCollation::compare(right, left), -expected);
    }

    void filterRules_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("passes");
        QTest::newRow("part of the value") << "Felge"
                                           << "Alufelge 18 Zoll" << true;
        QTest::newRow("case ignored") << "felge"
                                      << "FELGE" << true;
        QTest::newRow("missing") << "Felge"
                                 << "Spoiler" << false;
        QTest::newRow("empty passes all") << ""
                                          << "" << true;
        QTest::newRow("star: the whole value") << "*.jpg"
                                               << "a.JPG" << true;
        QTest::newRow("star: no part match") << "*.jpg"
                                             << "a.jpg.bak" << false;
        QTest::newRow("question mark: one character") << "a?c"
                                                      << "abc" << true;
        QTest::newRow("question mark: not two") << "a?c"
                                                << "abbc" << false;
        QTest::newRow("other pattern characters are plain") << "(1)*"
                                                            << "(1) Felge" << true;
        QTest::newRow("brackets are plain") << "[x]"
                                            << "a[x]b" << true;
    }

    void filterRules()
    {
        QFETCH(const QString, filter);
        QFETCH(const QString, value);
        QFETCH(const bool, passes);
        QCOMPARE(GridFilter(filter).matches(value), passes);
    }
};

QTEST_MAIN(TestCatalogueProxy)
#include "tst_catalogueproxy.moc"
