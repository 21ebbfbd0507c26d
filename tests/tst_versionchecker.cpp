#include "LoopbackHttpServer.h"
#include "web/VersionChecker.h"

#include <QTest>

namespace {

using TRequest = TLoopbackHttpServer::TRequest;
using TResponse = TLoopbackHttpServer::TResponse;

} // namespace

class TestVersionChecker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decision_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<int>("outcome");
        const QStringList full{QStringLiteral("1.4"), QStringLiteral("http://x/varnel.deb"), QStringLiteral("Faster import")};
        QTest::newRow("newer") << full << true << int(TUpdateOutcome::uoNewer);
        QTest::newRow("text order: 1.10 is not newer than 1.3")
            << QStringList{QStringLiteral("1.10.0.1"), QStringLiteral("u"), QStringLiteral("c")} << false << int(TUpdateOutcome::uoLatest);
        QTest::newRow("trailing blank makes it newer")
            << QStringList{QStringLiteral("1.3.0.171 "), QStringLiteral("u"), QStringLiteral("c")} << true << int(TUpdateOutcome::uoNewer);
        QTest::newRow("same version, automatic check") << QStringList{QStringLiteral("1.3.0.171")} << true << int(TUpdateOutcome::uoNothing);
        QTest::newRow("same version, user's check") << QStringList{QStringLiteral("1.3.0.171")} << false << int(TUpdateOutcome::uoLatest);
        QTest::newRow("empty file, user's check") << QStringList{} << false << int(TUpdateOutcome::uoLatest);
        QTest::newRow("newer but short") << QStringList{QStringLiteral("2.0"), QStringLiteral("u")} << false << int(TUpdateOutcome::uoNothing);
    }

    void decision()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, hidden);
        QFETCH(int, outcome);
        TVersionInfo info;
        QCOMPARE(int(DecideUpdate(lines, QStringLiteral("1.3.0.171"), hidden, &info)), outcome);
        if (outcome == int(TUpdateOutcome::uoNewer)) {
            QCOMPARE(info.Version, lines[0]);
            QCOMPARE(info.URL, lines[1]); // the link opens line 2 unchanged
            QCOMPARE(info.Changes, lines[2]);
        }
    }

    // The thread: status text set and cleared on the main thread, the dialog or the message, silence on failure.
    void checks_data()
    {
        QTest::addColumn<TResponse>("response");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("newer version") << TResponse{200, {}, "\xEF\xBB\xBF" "1.4\r\nhttp://x/varnel.deb\r\nFaster import\r\n"} << true
                                       << QStringList{QStringLiteral("dialog 1.4|http://x/varnel.deb|Faster import")};
        QTest::newRow("latest, user's check") << TResponse{200, {}, "0.1.0\nu\nc\n"} << false
                                              << QStringList{QStringLiteral("message You have the latest version of Varnel!")};
        QTest::newRow("latest, automatic check") << TResponse{200, {}, "0.1.0\nu\nc\n"} << true << QStringList{};
        QTest::newRow("server error, user's check") << TResponse{500, {}, "9.9\nu\nc\n"} << false << QStringList{};
    }

    void checks()
    {
        QFETCH(TResponse, response);
        QFETCH(bool, hidden);
        QFETCH(QStringList, shown);
        TLoopbackHttpServer server([&](const TRequest &) { return response; });
        QStringList seen;
        QStringList statuses;
        TVersionCheckerThread checker;
        checker.URl = server.Url(QStringLiteral("/update/varnel.info")).toString();
        checker.OldVersion = QStringLiteral("0.1.0");
        checker.Hidden = hidden;
        const QThread *mainThread = QThread::currentThread();
        checker.OnStatus = [&](const QString &text) {
            QCOMPARE(QThread::currentThread(), mainThread);
            statuses << text;
        };
        checker.OnNewVersion = [&](const TVersionInfo &info) {
            QCOMPARE(QThread::currentThread(), mainThread);
            seen << QStringLiteral("dialog ") + info.Version + u'|' + info.URL + u'|' + info.Changes;
        };
        checker.OnMessage = [&](const QString &text) { seen << QStringLiteral("message ") + text; };
        checker.start();
        QTRY_VERIFY_WITH_TIMEOUT(checker.isFinished(), 10000);
        QCOMPARE(seen, shown);
        QCOMPARE(statuses, (QStringList{QStringLiteral("Checking for updates ..."), QString()}));
        QCOMPARE(server.Requests().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestVersionChecker)
#include "tst_versionchecker.moc"
