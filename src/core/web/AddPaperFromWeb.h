#pragma once

#include "exchange/RISImporter.h"

#include <QString>

class TdmMain;
class TUserPrompts;
class TWebParser;

// A paper brought in from its web address or DOI: the retriever finds its citation and PDF address, the
// importer stores the citation. JID and PID receive the journal and paper of the last record stored. Network and
// HTTP failures of the retrieval raise EHttpError; a retrieval that finds nothing stores nothing.
struct TWebImport
{
    QString PdfURL;
    TRISImporter::TOutcome Outcome;
};
TWebImport AddPaperFromWeb(
    TdmMain &dm, TUserPrompts &prompts, TWebParser &retriever, const QString &URL, int &JID, int &PID);
