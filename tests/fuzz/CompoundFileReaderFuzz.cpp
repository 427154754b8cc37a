// The compound-file reader on arbitrary bytes: it must end, read nothing outside the file and
// never fail on what it reads.
#include "adapters/posix/CompoundFileReader.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string const file(reinterpret_cast<const char*>(data), size);
    slidevane::CompoundFileReader compound(
        [&file](std::uint64_t offset, std::size_t count, std::string& bytes) {
            if (offset > file.size()) {
                std::abort();
            }
            bytes = file.substr(offset, count);
            return true;
        },
        file.size());
    for (const char16_t* name : {u"Current User", u"PowerPoint Document", u"EncryptionInfo"}) {
        if (auto const start = compound.StreamStart(name, 4096); start && start->size() > 4096) {
            std::abort();
        }
    }
    return 0;
}
