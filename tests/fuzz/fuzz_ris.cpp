// The RIS and tagged-text importer: record splitting, tag parsing and storing, into a library made once.
#include "FuzzSupport.h"
#include "exchange/RISImporter.h"
#include "exchange/TextFiles.h"
#include "library/DataModule.h"
#include "shell/VarnelError.h"

#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::StartApplication();
    static QTemporaryDir folder;
    static Fuzz::TSilentPrompts prompts;
    static TdmMain dm(prompts, []() -> QString { return folder.filePath(QStringLiteral("Library")) + u'/'; });
    static const bool created = [] {
        dm.SetDBFileName(folder.filePath(QStringLiteral("fuzz.gdb")));
        return dm.CreateDatabase();
    }();
    if (!created)
        __builtin_trap();
    try {
        TRISImporter importer(dm, prompts);
        importer.Parse(SplitLines(DecodeText(Fuzz::Bytes(data, size))), size % 2 == 0);
    } catch (const EVarnelError &) {
        // a clear error is a good answer to a bad file
    }
    return 0;
}
