// Desktop program benchmark: a library of 100,000 papers; the time from creating the main window to its first
// page shown (with the last journal, of 10,000 papers, selected as on a restart), and the time to show a journal
// of 10,000 papers when it is chosen: one whose papers were stored together (a journal imported at once) and
// one whose papers are spread through the library (a journal added to over the years among others).
//
//   bench_gui [papers] [papers-in-each-journal]

#include "LibraryFixture.h"
#include "MainWindow.h"
#include "PaperListModel.h"
#include "library/DataModule.h"
#include "shell/Config.h"
#include "shell/Options.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTextStream>
#include <QThreadPool>
#include <QTreeView>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int total = QApplication::arguments().value(1, QStringLiteral("100000")).toInt();
    const int inJournal = QApplication::arguments().value(2, QStringLiteral("10000")).toInt();
    QTextStream out(stdout);
    TLibraryFixture library;
    if (!library.OpenLibrary())
        return 1;
    TConfig &config = *library.FConfig;
    TdmMain &dm = *library.FDm;
    TRecordingPrompts &prompts = library.FPrompts;
    // Journal 0 holds the first papers stored, journal 1 every ninth of the rest, journal 2 the others.
    QList<int> journals;
    for (int j = 0; j < 3; ++j)
        journals << library.AddJournal(QStringLiteral("Journal %1").arg(j));
    const int spreadStep = std::max(1, (total - inJournal) / inJournal);
    {
        TdmMain::TBatch batch(dm);
        for (int i = 0; i < total; ++i) {
            TPaperRecord paper;
            const bool spreadOne
                = i >= inJournal && (i - inJournal) % spreadStep == 0 && (i - inJournal) / spreadStep < inJournal;
            paper.JID = i < inJournal ? journals[0] : spreadOne ? journals[1] : journals[2];
            paper.PType = u'J';
            paper.Title = QStringLiteral("Paper %1 on thin films and coatings").arg(i);
            paper.Volume = QString::number(i % 300);
            paper.Year = 1990 + i % 35;
            paper.Abst = QStringLiteral("An abstract of some length. ").repeated(20);
            paper.AuthorList = {{0, QStringLiteral("A."), QStringLiteral("Author%1").arg(i % 97)},
                {0, QStringLiteral("B."), QStringLiteral("Second%1").arg(i % 89)}};
            dm.UpdatePaper(paper);
        }
        batch.Commit();
    }
    config.GetOptions<TLastOptions>().SetLastJournal(journals[0]);

    QElapsedTimer timer;
    timer.start();
    auto window = std::make_unique<TfrmMain>(config, dm, prompts);
    window->Start(true);
    window->show();
    QApplication::processEvents();
    const double startMs = double(timer.nsecsElapsed()) / 1e6;
    if (window->PaperModel(TfrmMain::pgJournals).rowCount() != inJournal) {
        out << "the last journal was not shown" << Qt::endl;
        return 1;
    }

    // The big journal, then the measured one: the time of choosing it until its list is painted, the median of
    // five rounds. The old list is freed once the new one is painted, as the window's event loop does.
    const auto showJournal = [&](int journal) {
        QList<double> rounds;
        for (int round = 0; round < 5; ++round) {
            window->JournalFinder()->setText(QStringLiteral("Journal 2"));
            QApplication::processEvents();
            QThreadPool::globalInstance()->waitForDone();
            timer.restart();
            window->JournalFinder()->setText(QStringLiteral("Journal %1").arg(journal));
            window->PaperList(TfrmMain::pgJournals)->viewport()->repaint();
            rounds << double(timer.nsecsElapsed()) / 1e6;
            QApplication::processEvents();
            QThreadPool::globalInstance()->waitForDone();
        }
        std::sort(rounds.begin(), rounds.end());
        return rounds[2];
    };

    // Where that time goes: reading the journal's papers from the library (the papers' rows alone, then with
    // their authors and journal) and filling a list model with them.
    const auto breakdown = [&](int journal) {
        TPapers papers;
        dm.PreparePaperJID(journals[2]);
        dm.GetPapers(papers, false);
        papers.clear();
        timer.restart();
        dm.PreparePaperJID(journals[journal]);
        const double fetchMs = double(timer.nsecsElapsed()) / 1e6;
        dm.GetPapers(papers, false);
        const double readMs = double(timer.nsecsElapsed()) / 1e6;
        TPaperListModel model;
        model.SetColumns(window->PaperModel(TfrmMain::pgJournals).Columns());
        timer.restart();
        model.SetPapers(std::move(papers));
        const double modelMs = double(timer.nsecsElapsed()) / 1e6;
        return QStringLiteral(
            "  of which: read %1 papers %2 ms (the papers' rows alone %3 ms), fill the list model %4 ms")
            .arg(inJournal)
            .arg(readMs, 0, 'f', 1)
            .arg(fetchMs, 0, 'f', 1)
            .arg(modelMs, 0, 'f', 1);
    };

    const double togetherMs = showJournal(0);
    const double spreadMs = showJournal(1);
    out << QStringLiteral("desktop benchmarks: a library of %1 papers, journals of %2").arg(total).arg(inJournal)
        << Qt::endl;
    out << QStringLiteral("start to first page shown                    %1 ms   goal: < 1500 ms")
               .arg(startMs, 9, 'f', 1)
        << Qt::endl;
    out << QStringLiteral("show a journal stored together               %1 ms   goal: < 200 ms")
               .arg(togetherMs, 9, 'f', 1)
        << Qt::endl;
    out << breakdown(0) << Qt::endl;
    out << QStringLiteral("show a journal spread through the library    %1 ms   goal: < 200 ms")
               .arg(spreadMs, 9, 'f', 1)
        << Qt::endl;
    out << breakdown(1) << Qt::endl;
    // Freeing the list of the big journal, which the window does on a worker thread beside the user's next step.
    TPapers big;
    dm.PreparePaperJID(journals[2]);
    dm.GetPapers(big, false);
    const auto bigCount = big.size();
    timer.restart();
    big.clear();
    out << QStringLiteral("  beside it: freeing a list of %1 papers %2 ms")
               .arg(bigCount)
               .arg(double(timer.nsecsElapsed()) / 1e6, 0, 'f', 1)
        << Qt::endl;
    return 0;
}
