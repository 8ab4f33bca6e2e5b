#include "platform/ShellOpener.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QTest>
#include <QUrl>

// Receives what the desktop would have opened.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class TestShellOpener : public QObject
{
    Q_OBJECT

private slots:
    void catalogueFileUrlsOpenTheNamedFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("file");
        QTest::newRow("plain") << "file:///musik/lied.mp3"
                               << "/musik/lied.mp3";
        QTest::newRow("hash and question mark") << "file:///musik/Track #1?.mp3"
                                                << "/musik/Track #1?.mp3";
        QTest::newRow("percent") << "file:///musik/a%20b 100%.mp3"
                                 << "/musik/a%20b 100%.mp3";
        QTest::newRow("umlauts") << "file:///Grüße/Ärger.ogg"
                                 << "/Grüße/Ärger.ogg";
        QTest::newRow("bare path") << "/musik/lied.mp3"
                                   << "/musik/lied.mp3";
    }
    void catalogueFileUrlsOpenTheNamedFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, file);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        DesktopShellOpener().open(target);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls.first().toLocalFile(), file);
    }

    void webAddressesGoAsTheyAre()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        DesktopShellOpener().open(QStringLiteral("https://www.quorvel.de/?a=1#b"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("https://www.quorvel.de/?a=1#b"))});
    }
};

QTEST_MAIN(TestShellOpener)
#include "tst_shellopener.moc"
