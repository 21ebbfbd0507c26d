#pragma once

#include "records/LibraryRecords.h"

#include <QJsonArray>
#include <QJsonObject>

// The JSON forms of library records that scripts read from the tool: keys named as the record fields.
QJsonObject JournalJson(const TJournalRecord &journal);
QJsonObject PaperJson(const TPaperRecord &paper);
QJsonObject StyleJson(const TTemplateRecord &style);
QJsonObject GroupJson(const TGroupRecord &group);
QJsonArray PapersJson(const TPapers &papers);
