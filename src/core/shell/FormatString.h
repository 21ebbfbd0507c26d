#pragma once

#include <QString>
#include <QVariantList>

// Formats a user-supplied format string (a style's number format) with integer and text arguments, the way
// the classic "%d"/"%s" directives read: "%" [index ":"] ["-"] [width] ["." precision] type, with the types
// d, u, x (integers) and s (texts), and "%%" for a percent sign. Directives take the arguments in order;
// arguments left over are ignored. A directive without an argument, of the wrong kind or not understood
// raises EVarnelError("Format '...' invalid or incompatible with argument"): a style can never make the
// program read past its arguments.
QString FormatString(const QString &format, const QVariantList &args);
