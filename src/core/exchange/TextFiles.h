#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text of a citation or list file: a byte-order mark selects UTF-8 or UTF-16 (either byte order); without one,
// valid UTF-8 is read as UTF-8 and anything else in the 8-bit Windows code page, so no byte is refused.
QString DecodeText(const QByteArray &bytes);

// The lines of a text, split at CR LF, CR or LF; a final line end closes the last line.
QStringList SplitLines(const QString &text);

// The lines of a text file (CR LF, CR or LF line ends). Raises EVarnelError when the file cannot be read.
QStringList ReadTextLines(const QString &fileName);

// Writes text as UTF-8 with a byte-order mark through a temporary file, so a failed write leaves no half file
// under the name. Raises EVarnelError with the reason.
void SaveTextFile(const QString &fileName, const QString &text);
