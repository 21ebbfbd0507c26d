#include "VarnelVersion.h"
#include "shell/Config.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

// The desktop program's entry. Until the main window joins, it sets up the configuration (data folder,
// database folder, settings file, library folder) and reports where the library lives.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Varnel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARNEL_VERSION));
    QTextStream out(stdout);
    try {
        const TConfig config(QCoreApplication::applicationDirPath());
        out << QStringLiteral("Varnel ") << QStringLiteral(VARNEL_VERSION) << Qt::endl
            << QStringLiteral("Data folder:     ") << config.DataFolder() << Qt::endl
            << QStringLiteral("Settings file:   ") << config.IniFileName() << Qt::endl
            << QStringLiteral("Library folder:  ") << config.LibraryFolder() << Qt::endl
            << QStringLiteral("Database file:   ") << config.GetSystemFileName(TVarnelSystemFile::sfDBFileName)
            << Qt::endl;
    } catch (const EVarnelError &error) {
        QTextStream(stderr) << error.Message() << Qt::endl;
        return 1;
    }
    return 0;
}
