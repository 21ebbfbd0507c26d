// The update information file's reader and the version decision.
#include "FuzzSupport.h"
#include "exchange/TextFiles.h"
#include "web/VersionChecker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::StartApplication();
    TVersionInfo info;
    const QStringList lines = SplitLines(DecodeText(Fuzz::Bytes(data, size)));
    if (DecideUpdate(lines, QStringLiteral("1.3.0.171"), size % 2 == 0, &info) == TUpdateOutcome::uoNewer
        && info.Version != lines.value(0))
        __builtin_trap();
    return 0;
}
