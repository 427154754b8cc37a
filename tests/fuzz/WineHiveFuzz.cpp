// Feeds arbitrary bytes to the Wine hive parser behind its header, then looks up every key of the
// tree by its own path, links followed, and the input itself as a path. A key whose path passes
// no link must be found as itself; any lookup must end (the run's timeout catches one that does
// not) and give npos or a key of the tree.
#include "adapters/posix/CaseFold.h"
#include "adapters/posix/RegistryTree.h"
#include "adapters/posix/TextCodec.h"
#include "adapters/posix/WineHiveParser.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using slidevane::CaseFold;
using slidevane::RegistryTree;
using slidevane::TextCodec;
using slidevane::WineHiveParser;
using Root = RegistryTree::Root;

// Enough keys to cover what a short input makes, few enough to keep each run fast.
constexpr std::size_t kMaxKeysLookedUp = 2000;

void check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void lookUp(const RegistryTree& tree, Root root, const std::vector<std::u16string_view>& path,
            std::uint32_t expected) {
    bool cut = false;
    const std::uint32_t found = tree.find(root, path, cut);
    // What is found is a key of the tree: its parent finds it again by its name.
    if (found != RegistryTree::npos && tree.parent(found) != RegistryTree::npos) {
        check(tree.child(tree.parent(found), CaseFold::fold(tree.name(found))) == found);
    }
    if (expected != RegistryTree::npos) {
        check(found == expected);
    }
}

// Every key by the names on its way down from its root.
void lookUpEveryKey(const RegistryTree& tree) {
    std::size_t looked = 0;
    for (std::uint32_t root = 0; root < RegistryTree::kRootCount; ++root) {
        struct Pending {
            std::uint32_t key;
            std::vector<std::u16string> path;
            bool throughLink;
        };
        std::vector<Pending> pending{{RegistryTree::rootKey(static_cast<Root>(root)), {}, false}};
        while (!pending.empty() && looked < kMaxKeysLookedUp) {
            Pending p = std::move(pending.back());
            pending.pop_back();
            const std::vector<std::u16string_view> path(p.path.begin(), p.path.end());
            lookUp(tree, static_cast<Root>(root), path, p.throughLink ? RegistryTree::npos : p.key);
            ++looked;
            tree.forEachChild(p.key, [&](std::uint32_t child) {
                Pending next{child, p.path, p.throughLink || tree.isLink(child)};
                next.path.push_back(CaseFold::fold(tree.name(child)));
                pending.push_back(std::move(next));
            });
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RegistryTree tree;
    std::string error;
    if (!WineHiveParser::parse(std::string(WineHiveParser::kHeader) + "\n" + std::string(bytes),
                               "system.reg", tree, error)) {
        return 0;
    }
    lookUpEveryKey(tree);
    const std::u16string asPath = CaseFold::fold(TextCodec::fromUtf8(bytes));
    for (const Root root : {Root::LocalMachine, Root::Users}) {
        lookUp(tree, root, RegistryTree::splitPath(asPath), RegistryTree::npos);
    }
    return 0;
}
