// libFuzzer target: arbitrary bytes as the player's own files, read.dat (the pages read) and
// resume.sav (where a closed game was left), as the game reads them at start.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "save/read_text.h"
#include "save/resume_file.h"
#include "save/save_file.h"

using namespace yv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const BytesView bytes(reinterpret_cast<const char*>(data), size);
    // What reads back must write out as it read: a memory that changed on its way through the
    // file would forget pages, or remember pages never read.
    const ReadText read = ReadText::decode(bytes);
    const Bytes again = read.encode();
    if (ReadText::decode(again).encode() != again) std::abort();
    if (const auto resume = save::parseResumeFile(bytes)) {
        if (!save::notASave(resume->save)) (void)save::scriptNamesOf(resume->save);
        const Bytes written = save::formatResumeFile(*resume);
        const auto back = save::parseResumeFile(written);
        if (!back || back->scripts != resume->scripts || back->save != resume->save) std::abort();
    }
    return 0;
}
