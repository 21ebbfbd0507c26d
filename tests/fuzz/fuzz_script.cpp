// The statement-script splitter.
#include "FuzzSupport.h"
#include "library/StatementScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::StartApplication();
    SplitScriptText(Fuzz::Text(data, size));
    return 0;
}
