#include "DatabaseFixture.h"
#include "TestFiles.h"
#include "exchange/Backup.h"
#include "exchange/ListFiles.h"
#include "exchange/RISImporter.h"
#include "exchange/TextFiles.h"
#include "shell/PaperFiles.h"
#include "shell/VarnelError.h"

#include <QDir>

#include <zip.h>

namespace {

const QChar Eot(4);

QString Fields(std::initializer_list<const char *> fields)
{
    QString line;
    for (const char *field : fields)
        line += QString::fromUtf8(field) + Eot;
    return line;
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

    std::unique_ptr<TDatabaseFixture> FDb;

    QStringList Titles(const QString &sql)
    {
        FDb->Dm->Open(sql);
        QStringList titles;
        for (FDb->Dm->Query().First(); !FDb->Dm->Query().Eof(); FDb->Dm->Query().Next())
            titles << FDb->Dm->Query().AsString(0);
        return titles;
    }

    // A library with styles, a folder with a group, an empty group, journals with a two-line comment and papers.
    // Adds entries of the given names and contents to an archive; stored as they are unless compressed.
    static bool AddEntries(
        const QString &archive, const QList<std::pair<QByteArray, QByteArray>> &entries, bool compressed = false)
    {
        int error = 0;
        zip_t *zip = zip_open(QFile::encodeName(archive).constData(), 0, &error);
        if (!zip)
            return false;
        for (const auto &[name, content] : entries) {
            zip_source_t *source = zip_source_buffer(zip, content.constData(), zip_uint64_t(content.size()), 0);
            const zip_int64_t index = source ? zip_file_add(zip, name.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
            if (index < 0) {
                zip_source_free(source);
                zip_discard(zip);
                return false;
            }
            zip_set_file_compression(zip, zip_uint64_t(index), compressed ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
        }
        return zip_close(zip) == 0;
    }

    void FillLibrary()
    {
        TRISImporter importer(*FDb->Dm, FDb->Prompts);
        importer.Parse(SplitLines(QStringLiteral(
                           "TY  - JOUR\nT1  - Friction of thin films\nJO  - Tribology Letters\nPY  - 2012\n"
                           "AU  - Ivanov, Ivan\nAD  - 2020/05/06\n\n"
                           "TY  - BOOK\nBT  - Thin film growth\nPB  - AIP Publishing\nCY  - San-Diego\nPY  - 2010\n\n"
                           "TY  - DISS\nTI  - Ünïcode thesis\nPY  - 2001\n")),
            false);
        TJournalRecord journal = *FDb->Dm->GetJournal(FDb->Dm->GetJournalID(QStringLiteral("Tribology Letters")));
        journal.Comment = QStringLiteral("first\r\nsecond");
        journal.Impact = QStringLiteral("2.5");
        FDb->Dm->UpdateJournal(journal);
        FDb->Dm->AddGroup(QStringLiteral("Folder"), 100);
        FDb->Dm->AddGroup(QStringLiteral("Inner"), 1);
        FDb->Dm->AddGroup(QStringLiteral("Empty"), 0);
        TPapers papers;
        FDb->Dm->PrepareAllPaperList();
        FDb->Dm->GetPapers(papers);
        QCOMPARE(papers.size(), std::size_t(3));
        FDb->Dm->AddToGroupByName(QStringLiteral("Inner"), papers[2]->FileName);
        FDb->Dm->AddToGroupByName(QStringLiteral("Inner"), papers[0]->FileName);
        FDb->Dm->AddToGroupByName(QStringLiteral("Favorites"), papers[1]->FileName);
    }

private Q_SLOTS:
    void init()
    {
        FDb = std::make_unique<TDatabaseFixture>();
        QVERIFY(FDb->Create());
    }

    void listFields_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("plain") << Fields({"Carbon", "B", "%ld. %pt."})
                               << QStringList {QStringLiteral("Carbon"), QStringLiteral("B"),
                                      QStringLiteral("%ld. %pt."), QString()};
        QTest::newRow("quoted") << QStringLiteral("\"a \"\"b\"\" c\"") + Eot
                                << QStringList {QStringLiteral("a \"b\" c"), QString()};
        QTest::newRow("no fields") << QString() << QStringList {QString()};
    }

    void listFields()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QCOMPARE(ListFields(line), fields);
    }

    // Styles go out without their parameters and replace every style when read back.
    void styleList()
    {
        TTemplates styles;
        FDb->Dm->GetTemplates(styles);
        styles[0]->AuthDelimeter = QStringLiteral(";");
        styles[0]->EtAlLimit = 3;
        FDb->Dm->SetTemplates(styles);
        const QString text = StyleListText(*FDb->Dm);
        QVERIFY(text.contains(Fields(
            {"Carbon", "J", "%ld. %pt. %jd %jy; \\b %jv\\b0[(%ji)]:%ps-%pe.", "B", "%ld. %pt. %cy: %pb; %jy."})));
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("styles.tlst"));
        SaveTextFile(file, text);
        ImportStyleList(*FDb->Dm, {Fields({"Only", "J", "%fn"})});
        QCOMPARE(Titles(QStringLiteral("SELECT Title FROM Templates")), QStringList {QStringLiteral("Only")});
        ImportStyleList(*FDb->Dm, ReadTextLines(file));
        TTemplates back;
        FDb->Dm->GetTemplates(back);
        QCOMPARE(back.size(), styles.size());
        for (const auto &style : back) {
            QCOMPARE(style->AuthDelimeter, QStringLiteral(","));
            QCOMPARE(style->EtAlLimit, 6);
            QCOMPARE(style->NumFormat, QStringLiteral("[%d]"));
        }
        QCOMPARE(StyleListText(*FDb->Dm), text);
        // A line without a title fails before anything is deleted.
        QVERIFY_THROWS_EXCEPTION(EVarnelError, ImportStyleList(*FDb->Dm, {Fields({"New", "J", "%fn"}), QString()}));
        QCOMPARE(Titles(QStringLiteral("SELECT Count(*) FROM Templates")), QStringList {QString::number(back.size())});
    }

    void groupAndJournalLists()
    {
        FillLibrary();
        const QString members = GroupMemberListText(*FDb->Dm);
        QVERIFY(members.contains(Fields({"Empty", ""}) + QStringLiteral("\r\n")));
        const QString journals = JournalListText(*FDb->Dm);
        QVERIFY(journals.contains(Fields({"Tribology Letters", "NOT SPECIFIED", "", "", "2.5", "first$$$second"})));
        // Unknown file names still create their group, without papers.
        ImportGroupMemberList(*FDb->Dm, {Fields({"Imported", "NOSUCHFILE"}), Fields({"Empty too", ""})});
        QVERIFY(Titles(QStringLiteral("SELECT Title FROM Groups")).contains(QStringLiteral("Imported")));
        QVERIFY(Titles(QStringLiteral("SELECT Title FROM Groups")).contains(QStringLiteral("Empty too")));
        QCOMPARE(FDb->Scalar(QStringLiteral(
                     "SELECT Count(*) FROM GroupList gl JOIN Groups g ON g.ID = gl.GID WHERE g.Title = 'Imported'")),
            0);
        // A journal line keeps the type of the container it updates.
        ImportJournalList(*FDb->Dm, {Fields({"AIP Publishing", "AIP", "", "", "", "a$$$b"})});
        const PJournalRecord publisher = FDb->Dm->GetJournal(FDb->Dm->GetJournalID(QStringLiteral("AIP Publishing")));
        QCOMPARE(publisher->JType, QChar(u'P'));
        QCOMPARE(publisher->Comment, QStringLiteral("a\r\nb"));
    }

    void backupAndRestore()
    {
        FillLibrary();
        const QStringList groupsBefore = Titles(
            QStringLiteral("SELECT g.Title || ':' || COALESCE(g.Code, 0) || ':' || COALESCE(p.Title, '') FROM Groups g "
                           "LEFT JOIN GroupList gl ON gl.GID = g.ID LEFT JOIN Papers p ON p.ID = gl.PID "
                           "ORDER BY g.Title, gl.Ord"));
        const QStringList papersBefore = Titles(
            QStringLiteral("SELECT p.Title || '|' || j.Title || '|' || COALESCE(j.JType, 'J') || '|' || p.PY || '|' || "
                           "COALESCE(p.Added, '') || '|' || COALESCE(j.Comment, '') FROM Papers p "
                           "JOIN Journals j ON j.ID = p.JID ORDER BY p.Title"));
        const QString styleText = StyleListText(*FDb->Dm);
        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("library.vbk"));
        int last = 0;
        BackupLibrary(*FDb->Dm, archive, [&](int done, int) { last = done; });
        QCOMPARE(last, 3);
        QVERIFY(QFileInfo(archive).size() > 0);
        QVERIFY(!QFileInfo::exists(archive + QStringLiteral(".part")));

        // Change the library, then restore it.
        FDb->Dm->ExecTransaction(QStringLiteral("DELETE FROM Papers"));
        FDb->Dm->AddGroup(QStringLiteral("Later"), 0);
        RestoreLibrary(*FDb->Dm, FDb->Prompts, archive, FDb->Library);
        QCOMPARE(FDb->Prompts.Messages(), QStringList());
        QCOMPARE(Titles(QStringLiteral(
                     "SELECT p.Title || '|' || j.Title || '|' || COALESCE(j.JType, 'J') || '|' || p.PY || '|' || "
                     "COALESCE(p.Added, '') || '|' || COALESCE(j.Comment, '') FROM Papers p "
                     "JOIN Journals j ON j.ID = p.JID ORDER BY p.Title")),
            papersBefore);
        QCOMPARE(Titles(QStringLiteral(
                     "SELECT g.Title || ':' || COALESCE(g.Code, 0) || ':' || COALESCE(p.Title, '') FROM Groups g "
                     "LEFT JOIN GroupList gl ON gl.GID = g.ID LEFT JOIN Papers p ON p.ID = gl.PID "
                     "ORDER BY g.Title, gl.Ord")),
            groupsBefore);
        QCOMPARE(StyleListText(*FDb->Dm), styleText);
        QVERIFY(QFileInfo::exists(FDb->Dir.filePath(QStringLiteral("Database/varnel.bak"))));
    }

    // Neither a file that is no archive nor an archive without its lists touches the library.
    void restoreRefusesWhatIsNoBackup_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("TY  - JOUR\r\nT1  - x\r\n");
        QTest::newRow("truncated zip") << QByteArray("PK\x03\x04\x14\x00\x00\x00", 8);
        QTest::newRow("empty") << QByteArray();
    }

    void restoreRefusesWhatIsNoBackup()
    {
        QFETCH(QByteArray, content);
        FillLibrary();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("bad.vbk"));
        QVERIFY(WriteTestFile(file, content));
        QVERIFY_THROWS_EXCEPTION(EVarnelError, RestoreLibrary(*FDb->Dm, FDb->Prompts, file, FDb->Library));
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 3);
        QVERIFY(!QFileInfo::exists(FDb->Dir.filePath(QStringLiteral("Database/varnel.bak"))));
    }

    // Entry names are never paths: entries named to climb out of a folder, or absolute, are records like any
    // other and nothing is written outside the library; ten thousand entries of no meaning are passed over.
    void hostileEntryNames()
    {
        FillLibrary();
        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("hostile.vbk"));
        BackupLibrary(*FDb->Dm, archive);
        QList<std::pair<QByteArray, QByteArray>> entries = {
            {"../escaped.ris", "TY  - JOUR\r\nT1  - Climbing\r\nJO  - Wear\r\nER  - \r\n"},
            {"/tmp/varnel-absolute.ris", "TY  - JOUR\r\nT1  - Absolute\r\nJO  - Wear\r\nER  - \r\n"},
            {"..\\..\\back.ris", "TY  - JOUR\r\nT1  - Backslashes\r\nJO  - Wear\r\nER  - \r\n"}};
        for (int i = 0; i < 10000; ++i)
            entries.append({"junk/" + QByteArray::number(i) + ".bin", "x"});
        QVERIFY(AddEntries(archive, entries));
        RestoreLibrary(*FDb->Dm, FDb->Prompts, archive, FDb->Library);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 6);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("../escaped.ris"))));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/varnel-absolute.ris")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList {QStringLiteral("hostile.vbk")});
    }

    // An entry larger than any library writes (a compression bomb) or a missing list is refused before the
    // library changes: the papers stay and no ".bak" is made.
    void unreadableArchiveChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("65 MB record") << QByteArray("big.ris") << QByteArray(65 << 20, ' ');
        QTest::newRow("65 MB group list") << QByteArray("_Data\\Groups.glst") << QByteArray(65 << 20, ' ');
    }

    void unreadableArchiveChangesNothing()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, content);
        FillLibrary();
        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("bomb.vbk"));
        {
            TDatabaseFixture other;
            QVERIFY(other.Create());
            BackupLibrary(*other.Dm, archive);
        }
        if (name.startsWith("_Data")) {
            // The archive's own group list is replaced by the oversized one.
            int error = 0;
            zip_t *zip = zip_open(QFile::encodeName(archive).constData(), 0, &error);
            QVERIFY(zip);
            QVERIFY(zip_delete(zip, zip_uint64_t(zip_name_locate(zip, name.constData(), 0))) == 0);
            QVERIFY(zip_close(zip) == 0);
        }
        QVERIFY(AddEntries(archive, {{name, content}}, true));
        QVERIFY(QFileInfo(archive).size() < (1 << 20)); // it compresses to almost nothing
        try {
            RestoreLibrary(*FDb->Dm, FDb->Prompts, archive, FDb->Library);
            QFAIL("the archive was restored");
        } catch (const EVarnelError &error) {
            QVERIFY2(error.Message().contains(QStringLiteral("too large")), qPrintable(error.Message()));
        }
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 3);
        QVERIFY(!QFileInfo::exists(FDb->Dir.filePath(QStringLiteral("Database/varnel.bak"))));
    }

    // A finished restore leaves no trace; one stopped half-way (its marker still beside the database) is told
    // at the next opening, naming the archive and the kept library.
    void interruptedRestoreIsTold()
    {
        FillLibrary();
        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("library.vbk"));
        BackupLibrary(*FDb->Dm, archive);
        RestoreLibrary(*FDb->Dm, FDb->Prompts, archive, FDb->Library);
        QCOMPARE(InterruptedRestoreNotice(FDb->DBFileName()), QString());
        QVERIFY(WriteTestFile(FDb->DBFileName() + QStringLiteral(".restoring"), archive.toUtf8()));
        const QString notice = InterruptedRestoreNotice(FDb->DBFileName());
        QVERIFY(notice.contains(archive));
        QVERIFY(notice.contains(FDb->Dir.filePath(QStringLiteral("Database/varnel.bak"))));
    }

    // A library without styles still writes its (empty) style list, and its archive restores.
    void restoreOfALibraryWithoutStyles()
    {
        FillLibrary();
        QTemporaryDir dir;
        TDatabaseFixture other;
        QVERIFY(other.Create());
        other.Dm->ExecTransaction(QStringLiteral("DELETE FROM Templates"));
        const QString empty = dir.filePath(QStringLiteral("empty.vbk"));
        BackupLibrary(*other.Dm, empty);
        RestoreLibrary(*FDb->Dm, FDb->Prompts, empty, FDb->Library);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 0);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Templates")), 0);
    }

    void failedBackupLeavesNoFile()
    {
        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("missing/library.vbk"));
        QVERIFY_THROWS_EXCEPTION(EVarnelError, BackupLibrary(*FDb->Dm, archive));
        QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
        // An existing backup is replaced only by a complete one.
        const QString existing = dir.filePath(QStringLiteral("old.vbk"));
        QVERIFY(WriteTestFile(existing, "old"));
        BackupLibrary(*FDb->Dm, existing);
        QVERIFY(ReadTestFile(existing).startsWith("PK"));
    }

    void emptyDatabase()
    {
        FillLibrary();
        EmptyDatabase(*FDb->Dm);
        QVERIFY(FDb->Dm->Connected());
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 0);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Templates")), 4);
        TDatabaseFixture copy;
        copy.Dm = std::make_unique<TdmMain>(copy.Prompts, [] { return QString(); });
        copy.Dm->SetDBFileName(FDb->Dir.filePath(QStringLiteral("Database/varnel.bak")));
        QVERIFY(copy.Dm->Connect());
        QCOMPARE(copy.Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 3);
    }

    void syncLocalFiles()
    {
        FillLibrary();
        TPapers papers;
        FDb->Dm->PrepareAllPaperList();
        FDb->Dm->GetPapers(papers);
        QVERIFY(WriteTestFile(PaperFullPath(FDb->Library, *papers[0]), "%PDF-1.4"));
        FDb->Dm->SetLocal(papers[1]->ID, true); // marked, but no file
        SyncLocalFiles(*FDb->Dm, FDb->Library);
        QCOMPARE(Titles(QStringLiteral("SELECT Local || Ext FROM Papers ORDER BY ID")),
            (QStringList {QStringLiteral("1.pdf"), QStringLiteral("0.pdf"), QStringLiteral("0.pdf")}));
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
