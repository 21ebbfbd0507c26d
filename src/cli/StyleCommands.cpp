// Commands on citation styles: listing them and formatting references.

#include "Commands.h"
#include "JsonOutput.h"
#include "shell/Options.h"
#include "styles/ReferenceText.h"
#include "styles/Templater.h"

int RunStyles(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption(JsonOption());
    ParseCommand(parser, arguments, 0, 0);
    TTemplates styles;
    context.Library().GetTemplates(styles);
    PrintRecords(context, styles, parser.isSet(JsonOption()), StyleJson,
        [](const TTemplateRecord &style) -> QString { return style.Title; });
    return 0;
}

int RunFormat(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption styleOption(
        QStringLiteral("style"), QStringLiteral("The style (default: the last one used)."), QStringLiteral("TITLE"));
    const QCommandLineOption rtf(QStringLiteral("rtf"), QStringLiteral("Print the RTF document."));
    parser.addOption(styleOption);
    parser.addOption(rtf);
    AddSelectionOptions(parser);
    ParseCommand(parser, arguments, 0, -1);
    const QString title = parser.isSet(styleOption) ? parser.value(styleOption)
                                                    : context.Config().GetOptions<TLastOptions>().LastTemplateTitle();
    const TPapers papers = LoadSelection(context, parser, 0);
    TTemplateRecord style;
    context.Library().GetTemplateByTitle(title, style);
    if (style.ID == 0)
        throw EVarnelError(QStringLiteral("There is no style \"%1\"").arg(title));
    TTemplater templater;
    if (templater.SetTemplate(&style) != TErrorType::ErFine)
        throw EVarnelError(QStringLiteral("The style \"%1\" has a template that cannot be read").arg(title));
    const QString text = FormatReferences(templater, papers);
    if (parser.isSet(rtf))
        context.Out << QString::fromLatin1(ReferenceRtf(text));
    else
        context.Out << text;
    return 0;
}
