// Download benchmark: a 50 MB file fetched from a loopback web server through the downloader, beside curl
// fetching the same file in the same run.
//
//   bench_download [megabytes]

#include "RecordingPrompts.h"
#include "library/DataModule.h"
#include "web/Downloader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int megabytes = QCoreApplication::arguments().value(1, QStringLiteral("50")).toInt();
    QTextStream out(stdout);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("www/paper.pdf")));
    QDir().mkpath(dir.filePath(QStringLiteral("www")));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    QByteArray block(1 << 20, 'x');
    block.replace(0, 9, "%PDF-1.4\n");
    for (int i = 0; i < megabytes; ++i) {
        file.write(block);
        block[0] = 'y';
    }
    file.close();

    // A plain web server on loopback, the same for both clients.
    QProcess server;
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(QStringLiteral("python3"), {QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"), QStringLiteral("0"),
                                            QStringLiteral("--bind"), QStringLiteral("127.0.0.1"), QStringLiteral("--directory"),
                                            dir.filePath(QStringLiteral("www"))});
    QString banner;
    const QRegularExpression portPattern(QStringLiteral("port (\\d+)"));
    while (!portPattern.match(banner).hasMatch() && server.waitForReadyRead(10000))
        banner += QString::fromUtf8(server.readAll());
    const QString port = portPattern.match(banner).captured(1);
    if (port.isEmpty()) {
        out << "cannot start the loopback web server" << Qt::endl;
        return 1;
    }
    const QString url = QStringLiteral("http://127.0.0.1:%1/paper.pdf").arg(port);

    TRecordingPrompts prompts;
    TdmMain dm(prompts, [&dir] { return dir.filePath(QStringLiteral("Library/")); });
    dm.SetDBFileName(dir.filePath(QStringLiteral("bench.gdb")));
    if (!dm.CreateDatabase())
        return 1;
    TPaperRecord paper;
    paper.JID = 1;
    paper.PType = u'P';
    paper.Title = QStringLiteral("Benchmark");
    dm.UpdatePaper(paper);
    TDownloadData entry;
    entry.ID = paper.ID;
    entry.Folder = QStringLiteral("Patents/");
    entry.FileName = QStringLiteral("bench");
    entry.Ext = QStringLiteral(".pdf");
    entry.PdfUrl = url;

    const auto best = [](const std::function<bool()> &work) {
        double fastest = 1e300;
        for (int round = 0; round < 5; ++round) {
            QElapsedTimer timer;
            timer.start();
            if (!work())
                return -1.0;
            fastest = std::min(fastest, double(timer.nsecsElapsed()) / 1e9);
        }
        return fastest;
    };
    TDownloader downloader(dm, prompts);
    downloader.Root = dir.filePath(QStringLiteral("Library/"));
    const double ours = best([&] { return downloader.Download(entry); });
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    const double theirs = curl.isEmpty() ? -1 : best([&] {
        return QProcess::execute(curl, {QStringLiteral("-s"), QStringLiteral("-o"), dir.filePath(QStringLiteral("curl.pdf")), url}) == 0;
    });
    server.kill();
    server.waitForFinished();
    if (ours < 0) {
        out << "the download failed: " << prompts.Messages().join(u' ') << Qt::endl;
        return 1;
    }
    const double rate = megabytes / ours;
    out << QStringLiteral("download benchmark: %1 MB from a loopback web server").arg(megabytes) << Qt::endl;
    if (theirs > 0)
        out << QStringLiteral("TDownloader                                 %1 MB/s   curl %2 MB/s   ratio %3   goal: ratio >= 0.8")
                   .arg(rate, 8, 'f', 1)
                   .arg(megabytes / theirs, 8, 'f', 1)
                   .arg(rate / (megabytes / theirs), 5, 'f', 2)
            << Qt::endl;
    else
        out << QStringLiteral("TDownloader                                 %1 MB/s   (curl not installed)").arg(rate, 8, 'f', 1) << Qt::endl;
    return 0;
}
