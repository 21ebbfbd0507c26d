#include "StartupArguments.h"

#include <QFileInfo>

bool IsCitationFileArgument(const QString &argument)
{
    if (argument == QLatin1String("-u"))
        return false;
    // The text from the last "." of the file name; a dot in a folder name does not count.
    const QString name = QFileInfo(argument).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : name.mid(dot).toUpper();
    return extension.isEmpty() || extension == QLatin1String(".RIS") || extension == QLatin1String(".ENW");
}

THandOver HandOverFor(const QStringList &arguments)
{
    if (arguments.size() == 1 && IsCitationFileArgument(arguments.front()))
        return {htFile, QFileInfo(arguments.front()).absoluteFilePath()};
    if (arguments.size() == 2 && arguments.front() == QLatin1String("-d"))
        return {htUrl, arguments[1]};
    return {};
}

TStartupRequest StartupRequestFor(const QStringList &arguments)
{
    TStartupRequest request;
    request.RunUpdateScript = !arguments.isEmpty() && arguments.front() == QLatin1String("-u");
    if (arguments.size() == 2 && arguments.front() == QLatin1String("-d"))
        request.AddUrl = arguments[1];
    if (arguments.size() == 1 && IsCitationFileArgument(arguments.front()))
        request.ImportFile = arguments.front();
    return request;
}
