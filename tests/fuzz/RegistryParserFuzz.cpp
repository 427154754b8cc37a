// Feeds arbitrary bytes to both registry file parsers, as they are and behind each format's
// header, then reads the resulting tree back the way the store does. The same bytes are parsed
// again handed out a few at a time, as a file is read, and must give the same tree, unless
// reading it so runs out of its memory budget first (its window is counted, and its size is
// known only as it is read).
#include "adapters/posix/CaseFold.h"
#include "adapters/posix/LoadBudget.h"
#include "adapters/posix/RegistryFileParser.h"
#include "adapters/posix/TextCodec.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using slidevane::CaseFold;
using slidevane::RegistryFileParser;
using slidevane::RegistryTree;
using slidevane::TextCodec;

// Every key and value must be found again by its own name, and every value must narrow.
void readBack(const RegistryTree& tree) {
    for (std::uint32_t root = 0; root < RegistryTree::kRootCount; ++root) {
        std::vector<std::uint32_t> pending{
            RegistryTree::rootKey(static_cast<RegistryTree::Root>(root))};
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

// Every key and value, in the order the tree keeps them, with the bytes as stored.
void dump(const RegistryTree& tree, std::uint32_t key, std::string& out) {
    out += TextCodec::toNarrow(tree.name(key), TextCodec::Narrow::Utf8);
    out += tree.exists(key) ? "[\n" : "(\n";
    tree.forEachValue(key, [&](const std::u16string& name, const RegistryTree::Value& value) {
        out += TextCodec::toNarrow(name, TextCodec::Narrow::Utf8) + "=" +
               std::to_string(value.type) + (value.deleted ? "-" : ":");
        for (std::size_t i = 0; i < value.unitCount(); ++i) {
            out += std::to_string(value.unit(i)) + ",";
        }
        out += "\n";
    });
    tree.forEachChild(key, [&](std::uint32_t child) { dump(tree, child, out); });
    out += "]\n";
}

std::string dump(const RegistryTree& tree) {
    std::string out;
    for (std::uint32_t root = 0; root < RegistryTree::kRootCount; ++root) {
        dump(tree, RegistryTree::rootKey(static_cast<RegistryTree::Root>(root)), out);
    }
    return out;
}

void parse(const std::string& bytes, std::string_view name) {
    std::string error;
    const auto tree = RegistryFileParser::parse(std::string_view(bytes), name, error);
    if (tree) {
        readBack(*tree);
    }
    // In pieces of 1 to 8 bytes, the size said right, too small or nothing.
    const std::size_t piece = 1 + bytes.size() % 8;
    const std::uint64_t claimed = bytes.size() % 3 == 0 ? bytes.size() : bytes.size() / 2;
    slidevane::ByteSource source(bytes, piece, claimed);
    std::string pieceError;
    const auto pieces = RegistryFileParser::parse(source, name, pieceError);
    if (pieceError == slidevane::LoadBudget::Exceeded().what()) {
        return;
    }
    if ((tree == nullptr) != (pieces == nullptr) || pieceError != error ||
        (tree && dump(*tree) != dump(*pieces))) {
        __builtin_trap();
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
