#include "GuiPrompts.h"
#include "InstanceChannel.h"
#include "MainWindow.h"
#include "Splash.h"
#include "TerminationBridge.h"
#include "VarnelApplication.h"
#include "VarnelVersion.h"
#include "WriterDocument.h"
#include "exchange/Backup.h"
#include "library/DataModule.h"
#include "shell/Config.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>

// The desktop program's entry: one instance per user; a later start hands its argument to the running one
// and ends. The first start shows the splash, opens the library and runs the main window.
int main(int argc, char *argv[])
{
    TVarnelApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varnel"));
    QGuiApplication::setDesktopFileName(
        QStringLiteral("varnel")); // the desktop entry, for the window icon and grouping
    QApplication::setApplicationVersion(QStringLiteral(VARNEL_VERSION));
    const QStringList arguments = QApplication::arguments().mid(1);

    TInstanceChannel channel(TInstanceChannel::NameFor(QFileInfo(QApplication::applicationFilePath()).fileName()));
    if (!channel.Listen()) {
        TInstanceChannel::Send(TInstanceChannel::NameFor(QFileInfo(QApplication::applicationFilePath()).fileName()),
            HandOverFor(arguments));
        return 0;
    }

    TfrmSplash splash;
    splash.show();
    QElapsedTimer shown;
    shown.start();
    QApplication::processEvents();
    try {
        TConfig config(QApplication::applicationDirPath());
        config.CreateLibraryFolder();
        TGuiPrompts prompts;
        TdmMain dm(prompts, [&config] { return config.LibraryFolder(); });
        const TStartupRequest request = StartupRequestFor(arguments);
        const bool connected = dm.OpenLibrary(config.GetSystemFileName(TVarnelSystemFile::sfDBFileName),
            config.GetSystemFileName(TVarnelSystemFile::sfDBUpdateFile), request.RunUpdateScript);
        TfrmMain window(config, dm, prompts);
        prompts.SetParentWindow(&window);
        const QString notice = InterruptedRestoreNotice(dm.DBFileName());
        if (!notice.isEmpty())
            prompts.ShowMessage(notice, TMessageKind::mkWarning);
        channel.OnRaise = [&window] {
            window.showNormal();
            window.raise();
            window.activateWindow();
        };
        window.OpenWordDocument = [&config]() -> std::shared_ptr<TWordDocument> {
            TWriterConnection writer(config.GetOptions<TOtherOptions>().WriterConnection());
            return writer.CurrentDocument();
        };
        channel.OnHandOver = [&window](const THandOver &handOver) { return window.ReceiveHandOver(handOver); };
        // A stop request closes the window as the user would: the layout and selections are saved.
        bool stopping = false;
        TTerminationBridge bridge([&window, &stopping] {
            stopping = true;
            window.close();
        });
        window.Start(connected, request);
        while (shown.elapsed() < 500 && !stopping) // the splash stays for at least half a second
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        splash.close();
        if (stopping) // asked to stop while starting: the window was closed as a user would, nothing is left to run
            return 0;
        window.show();
        return QApplication::exec();
    } catch (const EVarnelError &error) {
        splash.close();
        QMessageBox::critical(nullptr, QStringLiteral("Varnel"), error.Message());
        return 1;
    }
}
