#include "AuthorEditor.h"
#include "Commands.h"
#include "LibraryFixture.h"
#include "MainWindow.h"
#include "PaperEditor.h"
#include "TestFiles.h"
#include "library/DataModule.h"
#include "records/TypeCodes.h"
#include "shell/Config.h"
#include "shell/PaperFiles.h"

#include <QComboBox>
#include <QDate>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

// The paper and author editors, and the paper commands of the real window on a real library.
class TestPaperEditor : public QObject, private TLibraryFixture
{
    Q_OBJECT

    int FJournal = 0;
    int FPublisher = 0;

    // An author editor answer: the names typed, then Enter or Ctrl+Enter.
    static std::function<int(TfrmEditorAuthor &, TModifyMode)> Typing(QStringList names, bool more = false)
    {
        return [names, more](TfrmEditorAuthor &editor, TModifyMode mode) mutable {
            editor.Prepare(mode);
            editor.FirstEdit()->setText(names.value(0));
            editor.LastEdit()->setText(names.value(1));
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, more ? Qt::ControlModifier : Qt::NoModifier);
            QCoreApplication::sendEvent(&editor, &enter);
            return editor.result();
        };
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(OpenLibrary());
        FJournal = AddJournal(QStringLiteral("Wear"), u'J');
        FPublisher = AddJournal(QStringLiteral("Springer"), u'P');
    }

    // "Ok" needs a title, a whole-number year and an author; "Cancel" always closes.
    void requiredFields_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("year");
        QTest::addColumn<bool>("author");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("complete") << QStringLiteral("Friction") << QStringLiteral("2012") << true << true;
        QTest::newRow("no author") << QStringLiteral("Friction") << QStringLiteral("2012") << false << false;
        QTest::newRow("no title") << QString() << QStringLiteral("2012") << true << false;
        QTest::newRow("no year") << QStringLiteral("Friction") << QString() << true << false;
        QTest::newRow("year not a number") << QStringLiteral("Friction") << QStringLiteral("2012a") << true << false;
    }

    void requiredFields()
    {
        QFETCH(QString, title);
        QFETCH(QString, year);
        QFETCH(bool, author);
        QFETCH(bool, accepted);
        TfrmPaper editor(*FConfig, *FDm, FPrompts);
        editor.SetValues(TPaperRecord {});
        editor.Field(QStringLiteral("Title"))->setText(title);
        editor.Field(QStringLiteral("Year"))->setText(year);
        if (author) {
            editor.RunAuthorEditor = Typing({QStringLiteral("I."), QStringLiteral("Ivanov")});
            editor.ModifyAuthor(TModifyMode::mmNew);
        }
        editor.show();
        FPrompts.Shown.clear();
        editor.accept();
        QCOMPARE(editor.result() == QDialog::Accepted, accepted);
        QCOMPARE(FPrompts.Messages(),
            accepted ? QStringList() : QStringList {QStringLiteral("Please fill requred fields!")});
    }

    // The author editor: Ctrl+Enter asks for one more author (only for a new one), "Replace" swaps the names.
    void authorEditor()
    {
        TfrmEditorAuthor editor;
        editor.FirstEdit()->setText(QStringLiteral("left over"));
        editor.Prepare(TModifyMode::mmNew);
        QVERIFY(editor.FirstEdit()->text().isEmpty());
        QVERIFY(!editor.OneMoreButton()->isHidden());
        QVERIFY(editor.StaticTip()->text().contains(
            QStringLiteral("Press <Ctrl+Enter> to save author and add another one.")));
        editor.FirstEdit()->setText(QStringLiteral("Smith,"));
        editor.LastEdit()->setText(QStringLiteral("John"));
        editor.Replace();
        QCOMPARE(editor.FirstEdit()->text(), QStringLiteral("John"));
        QCOMPARE(editor.LastEdit()->text(), QStringLiteral("Smith"));
        QTest::keyClick(editor.LastEdit(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(editor.Continue);
        QCOMPARE(editor.result(), int(QDialog::Accepted));

        editor.Prepare(TModifyMode::mmEdit);
        QVERIFY(editor.OneMoreButton()->isHidden());
        QCOMPARE(editor.StaticTip()->text(), QStringLiteral("Press <Enter> to finish input and save data."));
        QTest::keyClick(editor.FirstEdit(), Qt::Key_Return, Qt::ControlModifier); // acts as Enter here
        QVERIFY(!editor.Continue);
    }

    // "Add" with Ctrl+Enter adds the author and asks again; Enter adds the second and stops. Names are
    // trimmed. "Delete" takes the author out of the library at once, even when the editor is then cancelled.
    void authorsInThePaperEditor()
    {
        TPaperRecord paper;
        paper.JID = FJournal;
        paper.Title = QStringLiteral("Wear of coatings");
        paper.Year = 2010;
        paper.AuthorList = {{0, QStringLiteral("P."), QStringLiteral("Petrov")}};
        FDm->UpdatePaper(paper);
        TPapers loaded;
        FDm->PreparePaper(paper.ID);
        FDm->GetPapers(loaded);
        QVERIFY(loaded.front()->AuthorList.front().ID > 0);

        TfrmPaper editor(*FConfig, *FDm, FPrompts);
        editor.SetValues(*loaded.front());
        QStringList answers = {QStringLiteral(" A. | Smith "), QStringLiteral("B.|Jones")};
        int calls = 0;
        editor.RunAuthorEditor = [&](TfrmEditorAuthor &author, TModifyMode mode) {
            const QStringList names = answers.value(calls).split(u'|');
            return Typing(names, calls++ == 0)(author, mode);
        };
        editor.ModifyAuthor(TModifyMode::mmNew);
        QCOMPARE(calls, 2);
        QTreeWidget *authors = editor.Authors();
        QCOMPARE(authors->topLevelItemCount(), 3);
        QCOMPARE(authors->topLevelItem(1)->text(0), QStringLiteral("A."));
        QCOMPARE(authors->topLevelItem(1)->text(1), QStringLiteral("Smith"));
        QCOMPARE(authors->topLevelItem(2)->text(1), QStringLiteral("Jones"));

        authors->topLevelItem(0)->setSelected(true);
        FPrompts.SetNextAnswer(true);
        editor.DeleteAuthor();
        QCOMPARE(authors->topLevelItemCount(), 2);
        editor.reject();
        TPapers stored;
        FDm->PreparePaper(paper.ID);
        FDm->GetPapers(stored);
        QVERIFY(stored.front()->AuthorList.isEmpty());
    }

    // "Add file ..." moves the picked file into the library under the paper's name when the editor is read;
    // picking the paper's own library file keeps it.
    void addFile()
    {
        TPaperRecord paper;
        paper.JID = FJournal;
        paper.Title = QStringLiteral("Filed paper");
        paper.Volume = QStringLiteral("3");
        paper.Journal = FDm->GetJournal(FJournal);
        const QString picked = FDir->filePath(QStringLiteral("Downloads/fulltext.pdf"));
        QVERIFY(WriteTestFile(picked, "%PDF-1.4 full text"));
        TfrmPaper editor(*FConfig, *FDm, FPrompts);
        editor.SetValues(paper);
        FPrompts.SetNextFileName(picked);
        editor.PickFile();
        QCOMPARE(
            FConfig->GetOptions<TPathOptions>().LastAddPaperFolder(), FDir->filePath(QStringLiteral("Downloads/")));
        editor.GetValues(paper);
        const QString target = PaperFullPath(FConfig->LibraryFolder(), paper);
        QVERIFY(paper.Local);
        QCOMPARE(ReadTestFile(target), QByteArray("%PDF-1.4 full text"));
        QVERIFY(!QFileInfo::exists(picked));

        editor.SetValues(paper);
        FPrompts.SetNextFileName(target);
        editor.PickFile();
        editor.GetValues(paper);
        QCOMPARE(ReadTestFile(target), QByteArray("%PDF-1.4 full text"));
    }

    // The window's commands: a new paper takes its type from the journal chosen (a patent in "Patents", a book
    // with a publisher) and the current year; a category of entries takes none; delete asks and reloads.
    void paperCommands()
    {
        TfrmMain window(*FConfig, *FDm, FPrompts);
        window.Start(true);
        window.Pages()->setCurrentIndex(TfrmMain::pgJournals);
        QAbstractItemModel *tree = window.JournalsTree()->model();
        QChar shownType;
        window.RunPaperEditor = [&](TfrmPaper &editor) {
            shownType = QChar(PaperTypeCodes[std::size_t(editor.Types()->currentIndex())]);
            editor.Field(QStringLiteral("Title"))->setText(QStringLiteral("Added by hand"));
            editor.RunAuthorEditor = Typing({QStringLiteral("K."), QStringLiteral("Kim")});
            editor.ModifyAuthor(TModifyMode::mmNew);
            editor.accept();
            return editor.result() == QDialog::Accepted;
        };
        window.JournalsTree()->setCurrentIndex(tree->index(3, 0)); // "Patents"
        window.Commands()["PaperAdd"]->trigger();
        TPaperListModel &list = window.PaperModel(TfrmMain::pgJournals);
        TPaperRecord *added = list.Paper(list.rowCount() - 1);
        QCOMPARE(added->Title, QStringLiteral("Added by hand"));
        QCOMPARE(added->PType, QChar(u'P'));
        QCOMPARE(added->JID, 1);
        QCOMPARE(added->Year, QDate::currentDate().year());
        QVERIFY(added->ID > 0);
        QCOMPARE(shownType, QChar(u'P'));

        window.JournalFinder()->setText(QStringLiteral("Springer"));
        window.Commands()["PaperAdd"]->trigger();
        QCOMPARE(shownType, QChar(u'B'));

        FPrompts.Shown.clear();
        window.JournalsTree()->setCurrentIndex(tree->index(2, 0)); // "Proceedings": no journal of its own
        window.PaperAdd();
        QCOMPARE(FPrompts.Messages(),
            QStringList {QStringLiteral("Choose the journal, publisher or conference of the new paper first.")});

        window.JournalFinder()->clear();
        window.JournalFinder()->setText(QStringLiteral("Springer"));
        QCOMPARE(list.rowCount(), 1);
        FPrompts.SetNextAnswer(true);
        window.Commands()["PaperDelete"]->trigger();
        QCOMPARE(window.JournalsTree()->currentIndex().data().toString(), QStringLiteral("Springer"));
        QCOMPARE(window.PaperModel(TfrmMain::pgJournals).rowCount(), 0);
    }
};

QTEST_MAIN(TestPaperEditor)
#include "tst_papereditor.moc"
