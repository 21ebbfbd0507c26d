#include "DatabaseFixture.h"
#include "LoopbackHttpServer.h"
#include "web/DownloadManagerThread.h"

#include <QTest>

namespace {

using TRequest = TLoopbackHttpServer::TRequest;
using TResponse = TLoopbackHttpServer::TResponse;

const QByteArray Pdf = "%PDF-1.4\n%%EOF";

} // namespace

class TestDownloadQueue : public QObject
{
    Q_OBJECT

    std::unique_ptr<TDatabaseFixture> FDb;
    std::unique_ptr<TLoopbackHttpServer> FServer;
    std::unique_ptr<TDownloadQueue> FQueue;
    std::unique_ptr<TDownloadManager> FManager;
    std::function<void(const TRequest &)> FOnRequest;

    // A stored paper queued with a PDF address on the loopback server ("" for none).
    int Queue(const QString &title, const QString &path)
    {
        TPaperRecord paper;
        paper.JID = 1;
        paper.Journal = FDb->Dm->GetJournal(1);
        paper.PType = u'P';
        paper.Title = title;
        FDb->Dm->UpdatePaper(paper);
        FQueue->Add(paper, path.isEmpty() ? QString() : FServer->Url(path).toString());
        return paper.ID;
    }

    QStringList Paths() const
    {
        QStringList paths;
        for (const TRequest &request : FServer->Requests())
            paths << QString::fromLatin1(request.Target);
        return paths;
    }

    TDownloadState State(int id) const { return FQueue->Entry(FQueue->RowOf(id)).State; }

private Q_SLOTS:
    void init()
    {
        FDb = std::make_unique<TDatabaseFixture>();
        QVERIFY(FDb->Create());
        FOnRequest = nullptr;
        FServer = std::make_unique<TLoopbackHttpServer>([this](const TRequest &request) {
            if (FOnRequest)
                FOnRequest(request);
            if (request.Target.startsWith("/ok"))
                return TResponse{200, {{"Content-Type", "application/pdf"}}, Pdf};
            return TResponse{404, {}, "gone"};
        });
        FQueue = std::make_unique<TDownloadQueue>();
        FManager = std::make_unique<TDownloadManager>(*FQueue, *FDb->Dm, FDb->Prompts, nullptr, TWebSites{},
                                                      [this] { return FDb->Library; });
        FManager->FailurePause = 50;
    }

    void cleanup()
    {
        FManager.reset();
        FQueue.reset();
        FServer.reset();
        FDb.reset();
    }

    void listOperations()
    {
        FManager->Start(); // an empty list starts nothing
        QVERIFY(!FManager->Worker());
        const int first = Queue(QStringLiteral("First"), QStringLiteral("/ok1.pdf"));
        const int second = Queue(QStringLiteral("Second"), QStringLiteral("/ok2.pdf"));
        TPaperRecord again;
        again.ID = first;
        QVERIFY(!FQueue->Add(again, QStringLiteral("http://elsewhere/x.pdf"))); // queued already: nothing changes
        QCOMPARE(FQueue->Count(), 2);
        QCOMPARE(FQueue->Entry(0).PdfUrl, FServer->Url(QStringLiteral("/ok1.pdf")).toString());
        QCOMPARE(FQueue->Entry(1).State, TDownloadState::dsWait);
        // Delete keeps the running entry among the chosen ones.
        FQueue->SetEntryState(first, TDownloadState::dsRun);
        FQueue->Delete({first, second});
        QCOMPARE(FQueue->Count(), 1);
        QCOMPARE(FQueue->Entry(0).ID, first);
        FQueue->Clear();
        QCOMPARE(FQueue->Page().Count, QStringLiteral("(0)"));
    }

    // Three entries, the middle one failing: the first is done and removed, the middle one turns "Error", the
    // third is fetched after the pause and the question, then the middle one is tried again.
    void middleEntryFails()
    {
        const int first = Queue(QStringLiteral("First"), QStringLiteral("/ok1.pdf"));
        const int middle = Queue(QStringLiteral("Middle"), QStringLiteral("/missing.pdf"));
        const int third = Queue(QStringLiteral("Third"), QStringLiteral("/ok3.pdf"));
        FDb->Prompts.Answers.enqueue(TPromptAnswer::paYes); // ignore errors from now on
        FManager->Start();
        QVERIFY(FManager->Busy());
        QTRY_VERIFY_WITH_TIMEOUT(FServer->Requests().size() >= 4, 10000);
        FManager->Stop();
        QTRY_VERIFY_WITH_TIMEOUT(FManager->Worker()->isFinished(), 10000);
        QCOMPARE(Paths().mid(0, 4), (QStringList{QStringLiteral("/ok1.pdf"), QStringLiteral("/missing.pdf"), QStringLiteral("/ok3.pdf"),
                                                  QStringLiteral("/missing.pdf")}));
        QCOMPARE(FQueue->Count(), 1);
        QCOMPARE(State(middle), TDownloadState::dsError);
        QCOMPARE(FQueue->RowOf(first), -1);
        QCOMPARE(FQueue->RowOf(third), -1);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Papers WHERE Local = 1")), 2);
        // One message for the first failure, then errors were ignored; the question came once.
        QCOMPARE(FDb->Prompts.Messages().size(), 1);
        QCOMPARE(FDb->Prompts.Shown.last().Text, QStringLiteral("Ignore download errors ?"));
        QCOMPARE(FQueue->Page().Count, QStringLiteral("(1)"));
        QVERIFY(FQueue->Page().Idle);
        QVERIFY(!FManager->Busy());
    }

    // An entry whose PDF address cannot be found fails without a message of its own; Cancel in the question
    // ends the run, and the entry made current meanwhile shows "Error" though it was never tried.
    void cancelInTheQuestion()
    {
        TPaperRecord paper;
        paper.JID = 1;
        paper.PType = u'P';
        paper.Title = QStringLiteral("No address");
        paper.URL = QStringLiteral("http://www.example.org/unknown-site");
        FDb->Dm->UpdatePaper(paper);
        FQueue->Add(paper, QString());
        const int next = Queue(QStringLiteral("Next"), QStringLiteral("/ok1.pdf"));
        FManager->Start(); // no answer queued: the question is answered Cancel
        QTRY_VERIFY_WITH_TIMEOUT(FManager->Worker()->isFinished(), 10000);
        QVERIFY(FServer->Requests().isEmpty());
        QCOMPARE(FDb->Prompts.Messages(), QStringList());
        QCOMPARE(State(paper.ID), TDownloadState::dsError);
        QCOMPARE(State(next), TDownloadState::dsError);
        QVERIFY(!FManager->Busy());
        // A new Start replaces the finished worker and tries the failed entries again.
        FQueue->Delete({paper.ID});
        FManager->Start();
        QTRY_VERIFY_WITH_TIMEOUT(FManager->Worker()->isFinished(), 10000);
        QCOMPARE(Paths(), QStringList{QStringLiteral("/ok1.pdf")});
        QCOMPARE(FQueue->RowOf(next), -1);
    }

    // Stop while a transfer runs: the entry shows "Error" at once; the transfer then succeeds and the row goes.
    void stopDuringATransfer()
    {
        const int id = Queue(QStringLiteral("First"), QStringLiteral("/ok1.pdf"));
        Queue(QStringLiteral("Second"), QStringLiteral("/ok2.pdf"));
        TDownloadState shownAtStop = TDownloadState::dsWait;
        FOnRequest = [&](const TRequest &) {
            FManager->Stop();
            shownAtStop = State(id);
        };
        FManager->Start();
        QTRY_VERIFY_WITH_TIMEOUT(FManager->Worker()->isFinished(), 10000);
        QCOMPARE(shownAtStop, TDownloadState::dsError);
        QCOMPARE(FQueue->RowOf(id), -1);
        QCOMPARE(FQueue->Count(), 1); // the second one was never started
        QCOMPARE(FServer->Requests().size(), 1);
    }

    // Shutting down during a run's 30-second pause ends the run at once instead of waiting it out.
    void shutdownEndsARun()
    {
        FManager->FailurePause = 30000;
        Queue(QStringLiteral("Failing"), QStringLiteral("/missing.pdf"));
        FDb->Prompts.Answers.enqueue(TPromptAnswer::paYes);
        FManager->Start();
        QTRY_VERIFY_WITH_TIMEOUT(FServer->Requests().size() == 1, 10000);
        QTest::qWait(100);
        FManager.reset(); // returns once the worker has ended
        QCOMPARE(FServer->Requests().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDownloadQueue)
#include "tst_downloadqueue.moc"
