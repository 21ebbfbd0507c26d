#include "DatabaseFixture.h"
#include "WriterDocument.h"
#include "shell/VarnelError.h"
#include "styles/Templater.h"
#include "wordlink/CitationSource.h"
#include "wordlink/WordHelper.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

QString Connection(quint16 port)
{
    return QStringLiteral("socket,host=127.0.0.1,port=%1;urp").arg(port);
}

} // namespace

// The word-link operations on a real LibreOffice Writer: a headless soffice listening on a loopback port with a
// throwaway profile, started for this suite and stopped by its process id at the end. The library holds five
// papers of "Wear" in the group "Cited", in their order.
class TestWriter : public QObject
{
    Q_OBJECT

    QTemporaryDir FProfile;
    QProcess FOffice;
    std::unique_ptr<TWriterConnection> FWriter;
    std::unique_ptr<TDatabaseFixture> FDb;
    TPapers FPapers;
    int FGroup = 0;
    TTemplateRecord FStyle;
    TTemplater FTemplater;
    QElapsedTimer FClock;

    TPaperRecord *Paper(int index) { return FPapers[std::size_t(index)].get(); }

    // The reference line of a paper as the reader sees it: the style's bold switches gone.
    QString Plain(const QString &line)
    {
        QString plain = line;
        plain.remove(QStringLiteral("\\b0"));
        plain.remove(QStringLiteral("\\b "));
        return plain;
    }

    QStringList Tags(TWriterDocument &document)
    {
        QStringList tags;
        for (int index = 1; index <= document.FieldCount(); ++index)
            tags << CitationTag(document.FieldCode(index));
        return tags;
    }

private Q_SLOTS:
    void initTestCase()
    {
        FClock.start();
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        QVERIFY2(!soffice.isEmpty(), "LibreOffice Writer (soffice) is not installed");
        const quint16 port = FreePort();
        FOffice.setProgram(soffice);
        FOffice.setArguments({QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--norestore"),
            QStringLiteral("--nologo"), QStringLiteral("--nodefault"),
            QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(FProfile.path()).toString(),
            QStringLiteral("--accept=%1;").arg(Connection(port))});
        FOffice.start();
        QVERIFY(FOffice.waitForStarted());
        // A fresh profile makes the office restart once before it listens.
        for (int attempt = 0; !FWriter && attempt < 300; ++attempt) {
            try {
                FWriter = std::make_unique<TWriterConnection>(Connection(port));
            } catch (const EVarnelError &) {
                QTest::qWait(100);
            }
        }
        QVERIFY2(FWriter, "soffice did not listen within 30 s");
        qInfo("soffice listening after %lld ms", FClock.elapsed());

        FDb = std::make_unique<TDatabaseFixture>();
        QVERIFY(FDb->Create());
        const int wear = FDb->AddJournal(QStringLiteral("Wear"));
        for (int i = 1; i <= 5; ++i) {
            const int id = FDb->AddPaper(wear, QStringLiteral("Paper %1").arg(i), QString(),
                {{0, QStringLiteral("Ivan"), QStringLiteral("Ivanov")}}, u'J', QString::number(10 * i));
            TPapers loaded = FDb->LoadPaper(id);
            FPapers.push_back(std::move(loaded.front()));
        }
        FGroup = AddTestGroup(*FDb->Dm, QStringLiteral("Cited"));
        FDb->Dm->AddToGroup(FGroup, PaperRefs(FPapers));
        FDb->Dm->GetTemplateByTitle(QStringLiteral("Carbon"), FStyle);
        QCOMPARE(FTemplater.SetTemplate(&FStyle), TErrorType::ErFine);
    }

    void cleanupTestCase()
    {
        if (FWriter)
            FWriter->Terminate();
        FWriter.reset();
        if (!FOffice.waitForFinished(10000)) {
            FOffice.kill();
            FOffice.waitForFinished(5000);
        }
        FPapers.clear();
        FDb.reset();
        qInfo("the Writer suite took %lld ms", FClock.elapsed());
    }

    // Nothing listening: the user is told that Writer is not running and how to start it.
    void notRunning()
    {
        const QString connection = Connection(FreePort());
        try {
            TWriterConnection writer(connection);
            QFAIL("connected to nothing");
        } catch (const EVarnelError &error) {
            QVERIFY2(error.Message().startsWith(QStringLiteral("Error. LibreOffice Writer is not running!")),
                qPrintable(error.Message()));
            QVERIFY(error.Message().contains(QStringLiteral("soffice --accept=\"") + connection));
        }
    }

    // Two citations of one paper and one of another: two sources, three fields numbered by first citation; the
    // reference list pasted at the cursor lists each paper once with the style's bold volume; then the
    // citations become text and adjacent ones merge.
    void citeListAndText()
    {
        std::unique_ptr<TWriterDocument> document = FWriter->NewDocument();
        TWordHelper helper(*document, *FDb->Dm, FDb->Prompts);
        helper.FTemplater = &FTemplater;
        document->TypeText(QStringLiteral("Friction "));
        helper.AddCitations({Paper(0)}, true);
        document->TypeText(QStringLiteral(" and wear "));
        helper.AddCitations({Paper(0), Paper(1)}, false);
        document->TypeText(QStringLiteral(" or "));
        helper.AddCitations({Paper(0)}, true);
        document->TypeText(QStringLiteral(" "));
        helper.AddCitations({Paper(1)}, false);
        QCOMPARE(document->FieldCount(), 5);
        QCOMPARE(document->SourceCount(), 2);
        QCOMPARE(helper.FindCitation(Paper(1)->FileName), 2);
        QCOMPARE(Tags(*document), (QStringList {Paper(0)->FileName, Paper(0)->FileName, Paper(1)->FileName,
                                      Paper(0)->FileName, Paper(1)->FileName}));
        QCOMPARE(document->Text(), QStringLiteral("Friction [1] and wear [1][2] or [1] [2]"));

        document->GoToEnd();
        document->TypeText(QStringLiteral("\n"));
        helper.PrepareReferenses();
        const QString first = Plain(FTemplater.ParseString(*Paper(0), 1));
        const QString second = Plain(FTemplater.ParseString(*Paper(1), 2));
        QVERIFY(first.startsWith(QStringLiteral("[1] Ivanov")));
        const QStringList lines = document->Text().split(u'\n');
        QCOMPARE(lines.value(0), QStringLiteral("Friction [1] and wear [1][2] or [1] [2]"));
        QCOMPARE(lines.value(1), first);
        QCOMPARE(lines.value(2), second);
        QCOMPARE(document->BoldTexts(), (QStringList {QStringLiteral("10"), QStringLiteral("20")}));

        helper.ConvertToText();
        QCOMPARE(document->FieldCount(), 0);
        QCOMPARE(document->Text().split(u'\n').value(0), QStringLiteral("Friction [1] and wear [1][2] or [1, 2]"));
        document->Close();
    }

    // "[1] [2]" and "[3-5]" become citations of the group's papers at those places; extracting the cited
    // papers fills another group in order of first citation.
    void bracketsToCitationsAndGroup()
    {
        std::unique_ptr<TWriterDocument> document = FWriter->NewDocument();
        TWordHelper helper(*document, *FDb->Dm, FDb->Prompts);
        document->TypeText(QStringLiteral("Shown in [1] [2] and later [3-5]."));
        helper.ConvertToObjects(FGroup);
        QStringList expected;
        for (const auto &paper : FPapers)
            expected << paper->FileName;
        QCOMPARE(Tags(*document), expected);
        QCOMPARE(document->Text(), QStringLiteral("Shown in [1] [2] and later [3][4][5]."));

        const int extracted = AddTestGroup(*FDb->Dm, QStringLiteral("Extracted"));
        helper.ObjectsToGroup(extracted);
        const QStringList titles = GroupPaperTitles(*FDb->Dm, extracted);
        QCOMPARE(titles.size(), 5);
        QCOMPARE(titles.first(), QStringLiteral("Paper 1"));
        QCOMPARE(titles.last(), QStringLiteral("Paper 5"));
        document->Close();
    }

    // Saved by Writer as .odt and opened again, a document keeps its citations: the fields, their tags and
    // sources, understood again by the operations.
    void savedAndReopened()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("cited.odt"));
        {
            std::unique_ptr<TWriterDocument> document = FWriter->NewDocument();
            TWordHelper helper(*document, *FDb->Dm, FDb->Prompts);
            document->TypeText(QStringLiteral("See "));
            helper.AddCitations({Paper(2), Paper(3), Paper(2)}, false);
            document->SaveAs(file);
            document->Close();
        }
        std::unique_ptr<TWriterDocument> reopened = FWriter->OpenDocument(file);
        QCOMPARE(Tags(*reopened), (QStringList {Paper(2)->FileName, Paper(3)->FileName, Paper(2)->FileName}));
        QCOMPARE(reopened->SourceCount(), 2);
        QVERIFY(reopened->SourceXml(1).contains(QStringLiteral("<b:Title>Paper 3</b:Title>")));
        TWordHelper helper(*reopened, *FDb->Dm, FDb->Prompts);
        helper.UpdateReferences();
        QCOMPARE(reopened->Text(), QStringLiteral("See [1][2][1]"));
        reopened->Close();
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
