// Feeds arbitrary bytes to both registry file parsers, as they are and behind each format's
// header, then reads the resulting tree back the way the store does.
#include "adapters/posix/CaseFold.h"
#include "adapters/posix/RegistryFileParser.h"
#include "adapters/posix/TextCodec.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using slidevane::CaseFold;
using slidevane::RegistryFileParser;
using slidevane::RegistryTree;
using slidevane::TextCodec;

// Every key and value must be found again by its own name, and every value must narrow.
void readBack(const RegistryTree& tree) {
    for (std::uint32_t root = 0; root < RegistryTree::kRootCount; ++root) {
        std::vector<std::uint32_t> pending{root};
        while (!pending.empty()) {
            const std::uint32_t id = pending.back();
            pending.pop_back();
            tree.forEachChild(id, [&](std::uint32_t child) {
                if (tree.child(id, CaseFold::fold(tree.name(child))) != child) {
                    __builtin_trap();
                }
                pending.push_back(child);
            });
            tree.forEachValue(
                id, [&](const std::u16string& name, const RegistryTree::Value& value) {
                    const auto found = tree.value(id, CaseFold::fold(name));
                    if (!found || found->data.data() != value.data.data() ||
                        found->data.size() != value.data.size()) {
                        __builtin_trap();
                    }
                    for (const auto narrow :
                         {TextCodec::Narrow::Utf8, TextCodec::Narrow::Windows1252}) {
                        std::string text(TextCodec::narrowLength(value.data, value.compact, narrow),
                                         '\0');
                        TextCodec::narrowInto(value.data, value.compact, narrow, text.data());
                    }
                });
        }
    }
}

void parse(std::string bytes, std::string_view name) {
    std::string error;
    if (auto tree = RegistryFileParser::parse(std::move(bytes), name, error)) {
        readBack(*tree);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    parse(bytes, "system.reg");
    parse("WINE REGISTRY Version 2\n" + bytes, "user.reg");
    parse("Windows Registry Editor Version 5.00\n" + bytes, "x.reg");
    parse("REGEDIT4\r\n" + bytes, "x.reg");
    return 0;
}
