// The RTF builder of reference lists: any text, the style's bold switches included, becomes 7-bit RTF.
#include "FuzzSupport.h"
#include "styles/ReferenceText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::StartApplication();
    const QByteArray rtf = ReferenceRtf(Fuzz::Text(data, size));
    for (const char c : rtf)
        if (static_cast<unsigned char>(c) > 0x7F)
            __builtin_trap(); // every other character is escaped
    return 0;
}
