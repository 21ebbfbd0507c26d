// The list files of styles, groups and journals: field splitting and the style list reader.
#include "FuzzSupport.h"
#include "exchange/ListFiles.h"
#include "exchange/TextFiles.h"
#include "shell/VarnelError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::StartApplication();
    const QStringList lines = SplitLines(DecodeText(Fuzz::Bytes(data, size)));
    for (const QString &line : lines) {
        ListFields(line);
        // Fields without the separator and not opening with a quote are written and read back unchanged, the
        // final separator giving one empty field more.
        QStringList fields = line.split(QChar(4));
        fields.removeIf([](const QString &field) { return field.startsWith(u'"'); });
        if (ListFields(ListLine(fields)) != fields + QStringList {QString()})
            __builtin_trap();
    }
    try {
        ReadStyleList(lines);
    } catch (const EVarnelError &) { }
    return 0;
}
