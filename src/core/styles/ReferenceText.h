#pragma once

#include "records/LibraryRecords.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class TTemplater;

// The reference text of formatted lines: each line, the last one too, followed by CR LF.
QString ReferenceText(const QStringList &lines);

// The references of papers numbered from 1 in list order under the formatter's active style, as one text.
// Raises EVarnelError when the style cannot format (see TTemplater::ParseString).
QString FormatReferences(TTemplater &templater, const TPapers &papers);
QString FormatReferences(TTemplater &templater, const std::vector<TPaperRecord *> &papers);

// The RTF document of a reference text: every paragraph with a hanging indent, double line spacing, 12-point
// type. The style's control words ("\b ", "\b0") in the lines take effect; every character outside 7-bit ASCII
// is written as an RTF Unicode escape, so any script reaches the word processor intact.
QByteArray ReferenceRtf(const QString &referenceText);
