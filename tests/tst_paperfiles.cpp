#include "TestFiles.h"
#include "RecordingPrompts.h"
#include "records/LibraryRecords.h"
#include "shell/FileUtils.h"
#include "shell/PaperFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

TPaperRecord MakePaper(QChar type, const QString &journal, const QString &volume, const QString &title)
{
    TPaperRecord paper;
    paper.PType = type;
    paper.Journal = std::make_shared<TJournalRecord>();
    paper.Journal->Title = journal;
    paper.Volume = volume;
    paper.Title = title;
    return paper;
}

} // namespace

class TestPaperFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sanitizeFileName()
    {
        QCOMPARE(SanitizeFileName(QStringLiteral("a/b:c?")), QStringLiteral("a b c "));
        QCOMPARE(SanitizeFileName(QStringLiteral("\"*<>|\\\t\x01x")), QStringLiteral("        x"));
        QCOMPARE(SanitizeFileName(QStringLiteral("Äb. c's (1)")), QStringLiteral("Äb. c's (1)"));
    }

    void md5Hex()
    {
        QCOMPARE(MD5Hex(QString(), QString()), QStringLiteral("D41D8CD98F00B204E9800998ECF8427E"));
        QCOMPARE(MD5Hex(QStringLiteral("a"), QStringLiteral("bc")), QStringLiteral("900150983CD24FB0D6963F7D28E17F72"));
        // Every code unit above 0x7F is digested as "?".
        QCOMPARE(MD5Hex(QStringLiteral("Журнал"), QStringLiteral("é")), MD5Hex(QStringLiteral("??????"), QStringLiteral("?")));
    }

    void paperFolder_data()
    {
        QTest::addColumn<QChar>("type");
        QTest::addColumn<QString>("journal");
        QTest::addColumn<QString>("volume");
        QTest::addColumn<QString>("folder");
        QTest::newRow("article with volume") << QChar(u'J') << QStringLiteral("Thin Solid Films") << QStringLiteral("520") << QStringLiteral("Thin Solid Films/520/");
        QTest::newRow("article without volume") << QChar(u'J') << QStringLiteral("Carbon") << QString() << QStringLiteral("Carbon/");
        QTest::newRow("book ignores volume") << QChar(u'B') << QStringLiteral("Springer") << QStringLiteral("3") << QStringLiteral("Springer/");
        QTest::newRow("invalid characters") << QChar(u'J') << QStringLiteral("A/B: C") << QStringLiteral("1/2") << QStringLiteral("A B  C/1 2/");
        // Names of dots alone would leave the library folder.
        QTest::newRow("dot-dot journal") << QChar(u'J') << QStringLiteral("..") << QStringLiteral("..") << QStringLiteral("__/__/");
        QTest::newRow("dot volume") << QChar(u'J') << QStringLiteral("J. Phys.") << QStringLiteral(".") << QStringLiteral("J. Phys./_/");
    }

    void paperFolder()
    {
        QFETCH(QChar, type);
        QFETCH(QString, journal);
        QFETCH(QString, volume);
        QFETCH(QString, folder);
        QCOMPARE(PaperFolder(MakePaper(type, journal, volume, QStringLiteral("T"))), folder);
    }

    void paperFullPathAssignsThePlace()
    {
        TPaperRecord paper = MakePaper(u'J', QStringLiteral("Thin Solid Films"), QStringLiteral("520"), QStringLiteral("Carbon films"));
        paper.Folder = QStringLiteral("old/");
        paper.FileName = QStringLiteral("old");
        const QString path = PaperFullPath(QStringLiteral("/lib"), paper);
        QCOMPARE(paper.Ext, QStringLiteral(".pdf"));
        QCOMPARE(paper.Folder, QStringLiteral("Thin Solid Films/520/"));
        QCOMPARE(paper.FileName, MD5Hex(QStringLiteral("Thin Solid Films"), QStringLiteral("Carbon films")));
        QCOMPARE(path, QStringLiteral("/lib/Thin Solid Films/520/") + paper.FileName + QStringLiteral(".pdf"));
        QCOMPARE(StoredPaperPath(QStringLiteral("/lib/"), paper), path);

        paper.Ext = QStringLiteral(".djvu");
        QVERIFY(PaperFullPath(QStringLiteral("/lib/"), paper).endsWith(QStringLiteral(".djvu")));
    }

    void storedPaperPathAcceptsBackslashes()
    {
        TPaperRecord paper;
        paper.Folder = QStringLiteral("Carbon\\12\\");
        paper.FileName = QStringLiteral("ABC");
        paper.Ext = QStringLiteral(".pdf");
        QCOMPARE(StoredPaperPath(QStringLiteral("/lib"), paper), QStringLiteral("/lib/Carbon/12/ABC.pdf"));
        paper.Folder.clear();
        QCOMPARE(StoredPaperPath(QStringLiteral("/lib/"), paper), QStringLiteral("/lib/ABC.pdf"));
    }

    void makeExportFileName()
    {
        TPaperRecord article = MakePaper(u'J', QStringLiteral("Journal of Applied Physics"), QStringLiteral("12"), QStringLiteral("T"));
        article.Journal->Abbrv = QStringLiteral("J. Appl. Phys.");
        article.Year = 1999;
        article.AuthorList = {{0, QStringLiteral("J."), QStringLiteral("Smith")}, {0, QStringLiteral("A."), QStringLiteral("Jones")}};
        QCOMPARE(MakeExportFileName(article), QStringLiteral("Smith, J. Appl. Phys. (12-1999)"));

        TPaperRecord book = MakePaper(u'B', QStringLiteral("Springer"), QString(), QStringLiteral("Films: growth 50%1"));
        book.Year = 2010;
        QCOMPARE(MakeExportFileName(book), QStringLiteral(", Films  growth 50%1 (2010)"));
    }

    void copyPaperFileTo()
    {
        QTemporaryDir dir;
        const QString library = dir.filePath(QStringLiteral("Library"));
        const QString target = dir.filePath(QStringLiteral("export"));
        QVERIFY(QDir().mkpath(target));
        TPaperRecord paper = MakePaper(u'J', QStringLiteral("Carbon"), QStringLiteral("7"), QStringLiteral("Nanotubes"));
        paper.Journal->Abbrv = QStringLiteral("Carbon");
        paper.Year = 2001;
        paper.AuthorList = {{0, QStringLiteral("S."), QStringLiteral("Iijima")}};
        const QString source = PaperFullPath(library, paper);
        const QString copy = target + QStringLiteral("/Iijima, Carbon (7-2001).pdf");

        TRecordingPrompts prompts;
        // A missing source is reported and an earlier copy stays as it was.
        QVERIFY(WriteTestFile(copy, "older copy"));
        QVERIFY(!CopyPaperFileTo(paper, library, target, prompts));
        QCOMPARE(prompts.Messages().size(), 1);
        QVERIFY2(prompts.Messages().front().startsWith(QStringLiteral("Error: Couldn'nt copy file of \"Nanotubes\"\r\n")),
                 qPrintable(prompts.Messages().front()));
        QCOMPARE(prompts.Shown.front().MessageKind, TMessageKind::mkError);
        QCOMPARE(ReadTestFile(copy), QByteArray("older copy"));

        // Present: the copy replaces the older one.
        QVERIFY(ForceFolder(library, paper.Folder));
        QVERIFY(WriteTestFile(source, "%PDF-1.4 content"));
        QVERIFY(CopyPaperFileTo(paper, library, target, prompts));
        QCOMPARE(ReadTestFile(copy), QByteArray("%PDF-1.4 content"));
        QCOMPARE(prompts.Messages().size(), 1);

        // A target folder that cannot exist is reported, not thrown.
        QVERIFY(!CopyPaperFileTo(paper, library, source + QStringLiteral("/sub"), prompts));
        QCOMPARE(prompts.Messages().size(), 2);
    }

    void forceFolder()
    {
        QTemporaryDir dir;
        QVERIFY(ForceFolder(dir.path(), QStringLiteral("a/b/c")));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("a/b/c"))).isDir());
        QVERIFY(ForceFolder(dir.path(), QStringLiteral("d\\e"))); // stored folders may use backslashes
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("d/e"))).isDir());
        const QString absolute = dir.filePath(QStringLiteral("abs/x"));
        QVERIFY(ForceFolder(dir.filePath(QStringLiteral("ignored")), absolute));
        QVERIFY(QFileInfo(absolute).isDir());
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("ignored"))));
        QVERIFY(ForceFolder(QString(), dir.filePath(QStringLiteral("alone"))));
        QVERIFY(ForceFolder(dir.filePath(QStringLiteral("base")), QStringLiteral("/")));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("base"))).isDir());
        QVERIFY(WriteTestFile(dir.filePath(QStringLiteral("file")), "x"));
        QVERIFY(!ForceFolder(dir.path(), QStringLiteral("file/sub")));
        QVERIFY(!ForceFolder(QString(), QString()));
    }

    void moveFolder()
    {
        QTemporaryDir dir;
        QVERIFY(ForceFolder(dir.path(), QStringLiteral("old/inner")));
        QVERIFY(WriteTestFile(dir.filePath(QStringLiteral("old/inner/f.pdf")), "pdf"));
        QVERIFY(MoveFolder(dir.filePath(QStringLiteral("old")), dir.filePath(QStringLiteral("new"))));
        QCOMPARE(ReadTestFile(dir.filePath(QStringLiteral("new/inner/f.pdf"))), QByteArray("pdf"));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("old"))));
        QVERIFY(!MoveFolder(dir.filePath(QStringLiteral("missing")), dir.filePath(QStringLiteral("other"))));
    }
};

QTEST_GUILESS_MAIN(TestPaperFiles)
#include "tst_paperfiles.moc"
