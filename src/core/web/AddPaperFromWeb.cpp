#include "AddPaperFromWeb.h"

#include "WebParser.h"

TWebImport AddPaperFromWeb(
    TdmMain &dm, TUserPrompts &prompts, TWebParser &retriever, const QString &URL, int &JID, int &PID)
{
    TWebImport result;
    QStringList lines;
    retriever.GetInfo(URL, result.PdfURL, &lines, false);
    if (!lines.isEmpty()) {
        TRISImporter importer(dm, prompts);
        result.Outcome = importer.Parse(lines, false, JID, PID);
    }
    return result;
}
