#include "DatabaseFixture.h"
#include "LoopbackHttpServer.h"
#include "TestFiles.h"
#include "web/Downloader.h"
#include "web/LocalStatus.h"

#include <QTest>

namespace {

using TRequest = TLoopbackHttpServer::TRequest;
using TResponse = TLoopbackHttpServer::TResponse;

// Receives the local-state events the downloader posts.
class TStatusReceiver final : public QObject
{
public:
    QList<TLocalStatusRecord> Received;

protected:
    void customEvent(QEvent *event) override
    {
        if (event->type() == TLocalStatusEvent::EventType())
            Received.append(static_cast<TLocalStatusEvent *>(event)->Record);
    }
};

} // namespace

class TestDownloader : public QObject
{
    Q_OBJECT

    std::unique_ptr<TDatabaseFixture> FDb;
    int FPaper = 0;
    TDownloadData FEntry;

    QString Target() const { return FDb->Library + FEntry.Folder + FEntry.FileName + FEntry.Ext; }

private Q_SLOTS:
    void init()
    {
        FDb = std::make_unique<TDatabaseFixture>();
        QVERIFY(FDb->Create());
        FPaper = FDb->AddPaper(1, QStringLiteral("A patent"));
        FEntry = {};
        FEntry.ID = FPaper;
        FEntry.Folder = QStringLiteral("Patents/");
        FEntry.FileName = QStringLiteral("ABC");
        FEntry.Ext = QStringLiteral(".pdf");
    }

    // Each answer of the server: whether it becomes the paper's file, and the message shown.
    void outcomes_data()
    {
        QTest::addColumn<TResponse>("response");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("message");
        const QByteArray pdf = "%PDF-1.4\n" + QByteArray(5000, 'x') + "\n<html> inside a stream\n%%EOF";
        QTest::newRow("PDF, page tags deep inside") << TResponse{200, {{"Content-Type", "application/pdf"}}, pdf} << true << QString();
        QTest::newRow("login page") << TResponse{200, {{"Content-Type", "text/html"}}, "<!DOCTYPE html>\n<html><body>Sign in</body></html>"}
                                    << false << QStringLiteral("Download failed! Probably, the service is not supported.");
        QTest::newRow("page without type") << TResponse{200, {}, "Please <body> log in"} << false
                                           << QStringLiteral("Download failed! Probably, the service is not supported.");
        QTest::newRow("404") << TResponse{404, {}, "no such file"} << false
                             << QStringLiteral("Download failed! Server reported error \"HTTP/1.1 404 Not Found\".\r\n");
        QTest::newRow("405 with a document") << TResponse{405, {}, pdf} << true << QString();
        QTest::newRow("405 without a body") << TResponse{405, {}, {}} << false << QString();
        QTest::newRow("empty body") << TResponse{200, {}, {}} << false << QString();
        QTest::newRow("connection closed mid-body") << TResponse{200, {}, "%PDF-1.4 half", 100000} << false
                                                    << QStringLiteral("Download failed! Connection error.");
    }

    void outcomes()
    {
        QFETCH(TResponse, response);
        QFETCH(bool, saved);
        QFETCH(QString, message);
        TLoopbackHttpServer server([&](const TRequest &) { return response; });
        // A good file from before is only ever replaced by a complete new one.
        QVERIFY(WriteTestFile(Target(), "%PDF old"));
        TStatusReceiver receiver;
        TDownloader downloader(*FDb->Dm, FDb->Prompts);
        downloader.Root = FDb->Library;
        downloader.LocalStatusReceiver = &receiver;
        FEntry.PdfUrl = server.Url(QStringLiteral("/paper.pdf")).toString();
        QCOMPARE(downloader.Download(FEntry), saved);
        QCOMPARE(FDb->Prompts.Messages(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(ReadTestFile(Target()), saved ? response.Body : QByteArray("%PDF old"));
        QCOMPARE(QDir(FDb->Library + FEntry.Folder).entryList(QDir::Files).size(), 1); // no temporary file left
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Local FROM Papers WHERE ID = %1").arg(FPaper)), saved ? 1 : 0);
        QCoreApplication::sendPostedEvents(&receiver);
        QCOMPARE(receiver.Received.size(), saved ? 1 : 0);
        if (saved)
            QVERIFY(receiver.Received.front().ID == FPaper && receiver.Received.front().IsLocal);
        const TRequest &request = server.Requests().front();
        QCOMPARE(request.Headers.value("referer"), FEntry.PdfUrl.toUtf8());
        QVERIFY(request.Headers.value("user-agent").startsWith("Opera/9.80"));
    }

    void timeoutAndIgnoredErrors()
    {
        TLoopbackHttpServer server([](const TRequest &) { return TResponse{200, {}, {}, -1, true}; });
        TDownloader downloader(*FDb->Dm, FDb->Prompts);
        downloader.Root = FDb->Library;
        downloader.Http().SetTimeout(300);
        FEntry.PdfUrl = server.Url(QStringLiteral("/slow.pdf")).toString();
        QVERIFY(!downloader.Download(FEntry));
        QCOMPARE(FDb->Prompts.Messages(), QStringList{QStringLiteral("Download failed! Timeout.")});
        downloader.IgnoreErrors = true;
        QVERIFY(!downloader.Download(FEntry));
        FEntry.PdfUrl = QStringLiteral("http://127.0.0.1:1/refused.pdf");
        QVERIFY(!downloader.Download(FEntry));
        QCOMPARE(FDb->Prompts.Messages().size(), 1);
        QVERIFY(!QFileInfo::exists(Target()));
    }

    // Percentages from 1 to 100, speed texts from one whole second after the start, "Done" at the end.
    void progressAndSpeed()
    {
        const QByteArray body = "%PDF-1.4\n" + QByteArray(200000, 'x');
        TLoopbackHttpServer server([&](const TRequest &) { return TResponse{200, {}, body}; });
        TDownloader downloader(*FDb->Dm, FDb->Prompts);
        downloader.Root = FDb->Library;
        QList<int> percents;
        QStringList comments;
        downloader.OnProgress = [&](int current, int total) {
            QCOMPARE(total, -1);
            percents << current;
        };
        downloader.OnSetComment = [&](const QString &current, const QString &total) {
            QVERIFY(total.isEmpty());
            comments << current;
        };
        const QDateTime start(QDate(2026, 12, 10), QTime(10, 0));
        int calls = 0;
        downloader.SetClock([&] { return start.addSecs(calls++ == 0 ? 0 : 2); });
        FEntry.PdfUrl = server.Url(QStringLiteral("/paper.pdf")).toString();
        QVERIFY(downloader.Download(FEntry));
        QCOMPARE(percents.front(), 1);
        QCOMPARE(percents.back(), 100);
        QVERIFY(std::is_sorted(percents.begin(), percents.end()));
        QCOMPARE(comments.back(), QStringLiteral("Done"));
        QVERIFY(comments.size() >= 2);
        QVERIFY2(comments.front().startsWith(QStringLiteral("Download: ")) && comments.front().endsWith(QStringLiteral(" Kb/s")),
                 qPrintable(comments.front()));
        QCOMPARE(comments.front().section(u'.', 1).size(), QStringLiteral("00 Kb/s").size()); // two decimals
    }

    void nothingOutsideTheLibrary()
    {
        // A place that cannot be made is raised, not reported as a download failure.
        QVERIFY(WriteTestFile(FDb->Library + QStringLiteral("Blocked"), "a file, not a folder"));
        {
            TDownloader downloader(*FDb->Dm, FDb->Prompts);
            downloader.Root = FDb->Library;
            FEntry.Folder = QStringLiteral("Blocked/Inside/");
            FEntry.PdfUrl = QStringLiteral("http://127.0.0.1:1/x.pdf");
            QVERIFY_THROWS_EXCEPTION(EVarnelError, downloader.Download(FEntry));
        }
        TDownloader downloader(*FDb->Dm, FDb->Prompts);
        downloader.Root = FDb->Library;
        FEntry.Folder = QStringLiteral("../../");
        FEntry.PdfUrl = QStringLiteral("http://127.0.0.1:1/x.pdf");
        QVERIFY_THROWS_EXCEPTION(EVarnelError, downloader.Download(FEntry));
    }
};

QTEST_GUILESS_MAIN(TestDownloader)
#include "tst_downloader.moc"
