#include "platform/CommandGuard.h"
#include "platform/OrdnixError.h"
#include "support/ScriptedDialogs.h"

#include <QStandardPaths>
#include <QTest>

#include <stdexcept>

class TestCommandGuard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { CommandGuard::setReporter(nullptr); }

    void successReportsNothing()
    {
        ScriptedDialogs dialogs;
        CommandGuard::setReporter(&dialogs);
        bool ran = false;
        QVERIFY(CommandGuard::run([&] { ran = true; }));
        QVERIFY(ran);
        QVERIFY(dialogs.errors.isEmpty());
    }

    void failureIsShownAndStopped_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("shown");
        QTest::newRow("program failure") << 0 << QStringLiteral("Die Datei „/tmp/Bild ä.jpg“ fehlt.");
        QTest::newRow("library exception") << 1 << QStringLiteral("vector::at");
        QTest::newRow("anything else") << 2 << QStringLiteral("abgebrochen");
    }

    void failureIsShownAndStopped()
    {
        QFETCH(int, kind);
        QFETCH(QString, shown);
        ScriptedDialogs dialogs;
        CommandGuard::setReporter(&dialogs);
        const bool ok = CommandGuard::run([&] {
            if (kind == 0)
                throw OrdnixError(QStringLiteral("Die Datei „/tmp/Bild ä.jpg“ fehlt."));
            if (kind == 1)
                throw std::out_of_range("vector::at");
            throw 42;
        });
        QVERIFY(!ok);
        QCOMPARE(dialogs.errors.size(), 1);
        if (kind == 0)
            QCOMPARE(dialogs.errors.first(), shown); // the German message reaches the user unchanged
        else
            QVERIFY2(dialogs.errors.first().contains(shown), qPrintable(dialogs.errors.first()));
    }

    void withoutReporterFailureStillStops()
    {
        CommandGuard::setReporter(nullptr);
        QTest::ignoreMessage(QtWarningMsg, "Fehler ohne Dialog");
        QVERIFY(!CommandGuard::run([] { throw OrdnixError(QStringLiteral("Fehler ohne Dialog")); }));
    }
};

QTEST_GUILESS_MAIN(TestCommandGuard)
#include "tst_commandguard.moc"
