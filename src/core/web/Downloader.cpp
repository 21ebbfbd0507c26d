#include "Downloader.h"

#include "LocalStatus.h"
#include "WebParser.h"
#include "library/DataModule.h"
#include "shell/FileUtils.h"
#include "shell/UserPrompts.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

namespace {

// The file being written, with the start of what was written kept to tell a page from a document.
class TSniffingFile final : public QIODevice
{
public:
    explicit TSniffingFile(QSaveFile &file)
        : FFile(file)
    {
        open(QIODevice::WriteOnly);
    }
    static constexpr qint64 HeadSize = 1024 * 1024; // a page is told by its first megabyte
    const QByteArray &Head() const { return FHead; }
    qint64 Size() const { return FSize; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        if (FHead.size() < HeadSize)
            FHead.append(data, qsizetype(std::min(length, HeadSize - FHead.size())));
        FSize += length;
        return FFile.write(data, length);
    }

private:
    QSaveFile &FFile;
    QByteArray FHead;
    qint64 FSize = 0;
};

// An HTML page rather than the document: told by the content type and the body's start, and, for a body that
// is not a PDF, by the page tags anywhere in it.
bool IsHtmlPage(const QByteArray &head, const QByteArray &contentType)
{
    if (head.startsWith("%PDF"))
        return false;
    if (contentType.toLower().contains("text/html"))
        return true;
    return head.contains("<html") || head.contains("<body>");
}

} // namespace

TDownloader::TDownloader(TdmMain &dm, TUserPrompts &prompts, const TProxyOptions *proxy)
    : FDm(dm)
    , FPrompts(prompts)
    , FHttp(proxy)
    , FClock([] { return QDateTime::currentDateTimeUtc(); }) // no time-zone work for each chunk
{
    FLocale.setNumberOptions(QLocale::OmitGroupSeparator); // "0.00": the decimal separator, no grouping
    FHttp.OnBegin = [this](qint64 size) {
        FDownloadSize = size;
        FStartDate = FClock();
        if (OnProgress)
            OnProgress(1, -1);
    };
    FHttp.OnProgress = [this](qint64 received) {
        if (FDownloadSize != 0 && OnProgress)
            OnProgress(int(received * 100 / FDownloadSize), -1);
        if (!OnSetComment)
            return;
        const qint64 seconds = FStartDate.secsTo(FClock());
        if (seconds > 0) {
            const double speed = double(received) / 1024 / double(seconds);
            OnSetComment(QStringLiteral("Download: %1 Kb/s").arg(FLocale.toString(speed, 'f', 2)), QString());
        }
    };
    FHttp.OnEnd = [this] {
        if (OnProgress)
            OnProgress(100, -1);
        if (OnSetComment)
            OnSetComment(QStringLiteral("Done"), QString());
    };
}

void TDownloader::Stop()
{
    FStopped = true;
    FHttp.Abort();
}

bool TDownloader::Download(const TDownloadData &data)
{
    FFile = Root + data.Folder + data.FileName + data.Ext;
    // The folder and name come from the library; still, nothing is ever written outside the library folder.
    const QString root = QDir::cleanPath(Root);
    if (Root.isEmpty() || !QDir::cleanPath(FFile).startsWith(root + u'/'))
        throw EVarnelError(QStringLiteral("The file \"%1\" is not inside the library folder").arg(FFile));
    if (!Fetch(data.PdfUrl))
        return false;
    FDm.SetLocal(data.ID, true);
    PostLocalStatus(LocalStatusReceiver, data.ID, true);
    return true;
}

QString TDownloader::ErrorText(const EHttpError &error)
{
    switch (error.Error()) {
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("Download failed! Timeout.");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("Download failed! Server not found.");
    default:
        break;
    }
    if (error.IsSocketError())
        return QStringLiteral("Download failed! Connection error.");
    if (error.Status() == 405)
        return {};
    return QStringLiteral("Download failed! Server reported error \"%1\".\r\n").arg(error.Message());
}

bool TDownloader::Fetch(const QString &url)
{
    FStopped = false;
    FHttp.SetHeader("User-Agent", TWebParser::OperaUserAgent);
    FHttp.SetHeader("Referer", url.toUtf8());
    FHttp.SetHeader("Connection", "Keep-Alive");
    const QString folder = QFileInfo(FFile).absolutePath();
    if (!ForceFolder(QString(), folder))
        throw EVarnelError(QStringLiteral("Cannot create the folder \"%1\"").arg(folder));
    QSaveFile file(FFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw EVarnelError(QStringLiteral("Cannot write \"%1\": %2").arg(FFile, file.errorString()));
    TSniffingFile sink(file);
    const std::unique_ptr<EHttpError> error = FHttp.Download(QUrl(url), sink);
    if (error) {
        if (!FStopped) {
            const QString text = ErrorText(*error);
            if (!text.isEmpty())
                ReportError(text);
        }
        // What came before a failure is no document; only a complete answer refused with 405 is still looked at.
        if (error->Status() != 405 || error->Error() != QNetworkReply::ContentOperationNotPermittedError) {
            file.cancelWriting();
            return false;
        }
    }
    if (sink.Size() == 0) {
        file.cancelWriting();
        return false;
    }
    if (IsHtmlPage(sink.Head(), FHttp.LastContentType())) {
        file.cancelWriting();
        ReportError(QStringLiteral("Download failed! Probably, the service is not supported."));
        return false;
    }
    if (!file.commit())
        throw EVarnelError(QStringLiteral("Cannot write \"%1\": %2").arg(FFile, file.errorString()));
    return true;
}

void TDownloader::ReportError(const QString &text)
{
    if (!IgnoreErrors)
        FPrompts.ShowMessage(text, TMessageKind::mkError, QStringLiteral("Download error"));
}
