// Exchange benchmarks: importing a RIS file into an empty library, backing the library up and restoring it.
// The import stands beside bibutils' ris2xml on the same file (a parse-only converter, no database), measured
// in the same run.
//
//   bench_exchange FILE.ris

#include "RecordingPrompts.h"
#include "exchange/Backup.h"
#include "exchange/RISImporter.h"
#include "exchange/TextFiles.h"
#include "library/DataModule.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>
#include <sys/resource.h>

namespace {

double Milliseconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

long PeakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QString input = QCoreApplication::arguments().value(1);
    if (input.isEmpty()) {
        out << "usage: bench_exchange FILE.ris" << Qt::endl;
        return 2;
    }
    QTemporaryDir dir;
    TRecordingPrompts prompts;
    TdmMain dm(prompts, [&dir]() -> QString { return dir.filePath(QStringLiteral("Library/")); });
    dm.SetDBFileName(dir.filePath(QStringLiteral("Database/bench.gdb")));
    if (!dm.CreateDatabase()) {
        out << "cannot create the database" << Qt::endl;
        return 1;
    }

    double converter = -1;
    const QString ris2xml = QStandardPaths::findExecutable(QStringLiteral("ris2xml"));
    if (!ris2xml.isEmpty()) {
        converter = Milliseconds([&] {
            QProcess process;
            process.setStandardOutputFile(QProcess::nullDevice());
            process.start(ris2xml, {QStringLiteral("-i"), QStringLiteral("utf8"), input});
            process.waitForFinished(-1);
        });
    }
    TRISImporter::TOutcome outcome;
    const double import = Milliseconds([&] {
        TRISImporter importer(dm, prompts);
        outcome = importer.Parse(ReadTextLines(input), false);
    });
    const long importPeak = PeakMegabytes();
    const QString archive = dir.filePath(QStringLiteral("bench.vbk"));
    const double backup = Milliseconds([&] { BackupLibrary(dm, archive); });
    const double restore
        = Milliseconds([&] { RestoreLibrary(dm, prompts, archive, dir.filePath(QStringLiteral("Library/"))); });
    TStatRecord stats;
    dm.GetStats(stats);

    out << QStringLiteral("exchange benchmarks: %1 records read, %2 stored, %3 failed; %4 papers after restore")
               .arg(outcome.Records)
               .arg(outcome.Stored)
               .arg(outcome.Failed)
               .arg(stats.Papers)
        << Qt::endl;
    const auto line = [&out](const QString &name, const QString &figure, const QString &rest) {
        out << qSetFieldWidth(44) << Qt::left << name << qSetFieldWidth(0) << figure << QStringLiteral("   ") << rest << Qt::endl;
    };
    const auto ms = [](double value) { return QStringLiteral("%1 ms").arg(value, 9, 'f', 1); };
    line(QStringLiteral("import (one transaction)"), ms(import),
        converter > 0 ? QStringLiteral("ris2xml %1 ms   ratio %2   goal: ratio <= 2, < 5000 ms")
                            .arg(converter, 9, 'f', 1)
                            .arg(import / converter, 5, 'f', 2)
                      : QStringLiteral("(ris2xml not installed)   goal: < 5000 ms"));
    line(QStringLiteral("import peak memory"), QStringLiteral("%1 MB").arg(importPeak, 9), QStringLiteral("goal: < 200 MB"));
    line(QStringLiteral("backup"), ms(backup), QStringLiteral("goal: < 10000 ms"));
    line(QStringLiteral("restore"), ms(restore), QStringLiteral("goal: < 10000 ms"));
    return 0;
}
