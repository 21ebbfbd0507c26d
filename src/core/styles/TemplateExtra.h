#pragma once

#include <QString>

struct TTemplateRecord;

// The stored form of a style's delimiter, et-al limit and number format: three lines joined by CR LF.
QString TemplateExtraText(const TTemplateRecord &style);

// Fills the three settings from a stored text. Exactly three lines are taken in order; any other count gives
// the defaults ",", 6 and "[%d]". A second line that is not a decimal integer raises EVarnelError.
void ReadTemplateExtra(const QString &text, TTemplateRecord &style);
