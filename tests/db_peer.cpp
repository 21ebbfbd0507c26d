// A second process on a library that a test holds open: it stores one paper in the given journal and prints
// the number of journals it sees.

#include "RecordingPrompts.h"
#include "library/DataModule.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3)
        return 2;
    QTemporaryDir library;
    TRecordingPrompts prompts;
    TdmMain dm(prompts, [&library]() -> QString { return library.path() + u'/'; });
    dm.SetDBFileName(args[1]);
    if (!dm.Connect())
        return 3;
    TPaperRecord paper;
    paper.JID = args[2].toInt();
    paper.PType = u'J';
    paper.Title = QStringLiteral("From the other process");
    if (dm.UpdatePaper(paper) <= 0)
        return 4;
    TStatRecord stats;
    dm.GetStats(stats);
    QTextStream(stdout) << "journals=" << stats.Journals << Qt::endl;
    return prompts.Shown.isEmpty() ? 0 : 5;
}
