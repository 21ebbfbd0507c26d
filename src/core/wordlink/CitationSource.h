#pragma once

#include "WordDocument.h"
#include "records/LibraryRecords.h"

// The source of a paper: its tag (the paper's file name), title, year, authors, the container's abbreviation,
// pages, volume and issue.
TCitationSource CitationSourceOf(const TPaperRecord &paper);

// The source as the word processor's bibliography XML (one element, no line breaks); text values are escaped as
// XML character data. Every source is typed "JournalArticle", whatever the paper's type.
QString CitationSourceXml(const TCitationSource &source);

// The tag a citation field's code names: the code without its first ten characters (" CITATION "), up to the
// next blank.
QString CitationTag(const QString &fieldCode);
