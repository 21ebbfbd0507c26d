// Saves a picture of each page of the main window on a sample library, for looking at what a user sees.
// Run under a real X server (scripts/screenshots starts one with Xvfb):
//
//   screenshots OUTPUT-FOLDER WIDTH HEIGHT

#include "LibraryFixture.h"
#include "MainWindow.h"
#include "Ribbon.h"
#include "exchange/ImportFile.h"
#include "library/DataModule.h"
#include "shell/Config.h"
#include "shell/Options.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTextStream>
#include <QThread>
#include <QTreeView>

namespace {

void Settle()
{
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QThread::msleep(40);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 4) {
        err << "usage: screenshots OUTPUT-FOLDER WIDTH HEIGHT" << Qt::endl;
        return 2;
    }
    const QString out = args[1];
    const int width = args[2].toInt();
    const int height = args[3].toInt();
    QDir().mkpath(out);

    TLibraryFixture library;
    if (!library.OpenLibrary())
        return 1;
    TConfig &config = *library.FConfig;
    TdmMain &dm = *library.FDm;
    TRecordingPrompts &prompts = library.FPrompts;
    int jid = 0, pid = 0;
    for (const char *file : {"jabref-sciencedirect-acta-materialia.ris", "jabref-aip-jchemphys-leading-blanks.ris",
             "asreview-webofscience-ris-export.ris", "jabref-cambridge-book-editors.ris",
             "colrev-proquest-thesis-anonymized-crlf.ris", "asreview-zotero-lens-crlf-100rec.ris"})
        ImportCitationFile(dm, prompts, QStringLiteral(VARNEL_FIXTURES "/corpus/") + QString::fromLatin1(file),
            config.LibraryFolder(), jid, pid);
    dm.AddGroup(QStringLiteral("Thesis chapter 2"), 0);
    TGroups groups;
    dm.GetGroups(groups);
    TPapers papers;
    dm.PreparePaperJID(jid);
    dm.GetPapers(papers, false);
    papers.resize(std::min<size_t>(papers.size(), 6));
    for (const auto &group : groups)
        dm.AddToGroup(group->ID, papers);
    config.GetOptions<TLastOptions>().SetLastJournal(jid);
    config.GetOptions<TLastOptions>().SetLastGroup(groups.front()->ID);

    TfrmMain window(config, dm, prompts);
    window.Start(true);
    window.setWindowState(Qt::WindowNoState);
    window.setGeometry(0, 0, width, height);
    window.show();
    Settle();
    const auto save = [&](const QString &name) {
        Settle();
        const QString file = QStringLiteral("%1/%2-%3x%4.png").arg(out, name).arg(width).arg(height);
        if (!window.grab().save(file))
            err << "could not write " << file << Qt::endl;
    };
    window.Pages()->setCurrentIndex(TfrmMain::pgJournals);
    save(QStringLiteral("1-journals"));
    window.Pages()->setCurrentIndex(TfrmMain::pgSearch);
    window.SearchField(QStringLiteral("Title"))->setText(QStringLiteral("a"));
    window.DatabaseSearch();
    save(QStringLiteral("2-search"));
    window.Pages()->setCurrentIndex(TfrmMain::pgGroups);
    save(QStringLiteral("3-groups"));
    window.SetWideMode(TfrmMain::pgGroups, true);
    save(QStringLiteral("4-groups-wide"));
    window.SetWideMode(TfrmMain::pgGroups, false);
    for (int tab = 1; tab < window.Ribbon()->count(); ++tab) {
        window.Ribbon()->setCurrentIndex(tab);
        save(QStringLiteral("%1-ribbon-%2").arg(4 + tab).arg(window.Ribbon()->tabText(tab).toLower()));
    }
    return 0;
}
