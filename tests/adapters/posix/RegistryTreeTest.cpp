#include "adapters/posix/RegistryTree.h"

#include "adapters/posix/CaseFold.h"
#include "adapters/posix/WordPool.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace slidevane {
namespace {

using Root = RegistryTree::Root;
constexpr std::uint32_t npos = RegistryTree::npos;

std::u16string numbered(std::u16string_view prefix, int n) {
    std::u16string name(prefix);
    for (const char c : std::to_string(n)) {
        name += static_cast<char16_t>(c);
    }
    return name;
}

std::string text(const std::optional<RegistryTree::Value>& v) {
    return v ? std::string(v->data) : "<none>";
}

TEST(RegistryTree, ValuesAreFoundInAnyCaseWhetherListedOrInTheTable) {
    RegistryTree tree;
    const std::uint32_t key = tree.createChild(RegistryTree::rootKey(Root::LocalMachine), u"K");
    // A key's first few values are found along its list, later ones through the table.
    for (int n = 0; n < 40; ++n) {
        const std::u16string name = numbered(u"Value\u00C9", n);
        tree.setValue(key, name, win::REG_BINARY, std::to_string(n));
        for (int m = 0; m <= n; ++m) {
            const std::u16string folded = CaseFold::fold(numbered(u"VALUE\u00C9", m));
            ASSERT_EQ(text(tree.value(key, folded)), std::to_string(m)) << n << " " << m;
        }
        EXPECT_FALSE(tree.value(key, u"value\u00e9"));
    }
    // Replaced in place when the new data fits, elsewhere when it does not; one value either way.
    tree.setValue(key, u"VALUE\u00C91", win::REG_SZ, std::string_view("x"));
    EXPECT_EQ(text(tree.value(key, u"value\u00e91")), "x");
    tree.setValue(key, u"value\u00C91", win::REG_SZ, std::string(100, 'y'));
    EXPECT_EQ(text(tree.value(key, u"value\u00e91")), std::string(100, 'y'));
    tree.deleteValue(key, u"Value\u00C92");
    EXPECT_TRUE(tree.value(key, u"value\u00e92")->deleted);
    std::size_t count = 0;
    tree.forEachValue(key, [&](const std::u16string&, const RegistryTree::Value&) { ++count; });
    EXPECT_EQ(count, 40u);
    // A wiped key takes its values with it, and starts again from its list.
    tree.wipe(key);
    EXPECT_FALSE(tree.value(key, u"value\u00e91"));
    tree.setValue(key, u"again", win::REG_DWORD, std::string_view("\1\0\0\0", 4));
    EXPECT_EQ(text(tree.value(key, u"again")).size(), 4u);
}

TEST(RegistryTree, WipesRemoveDeepAndBroadSubtreesAndTheirIndexEntries) {
    RegistryTree tree;
    const std::uint32_t root = RegistryTree::rootKey(Root::LocalMachine);
    const std::uint32_t top = tree.createChild(root, u"Top");
    std::uint32_t deep = top;
    for (std::size_t d = 1; d < RegistryTree::kMaxDepth; ++d) {
        deep = tree.createChild(deep, u"d");
        tree.setValue(deep, u"v", win::REG_SZ, std::string_view("z"));
    }
    for (int i = 0; i < 10000; ++i) {
        tree.createChild(top, numbered(u"broad\u0100", i));
    }
    EXPECT_EQ(tree.keyCount(), 1 + (RegistryTree::kMaxDepth - 1) + 10000);
    tree.wipe(top);
    EXPECT_EQ(tree.keyCount(), 1u);
    EXPECT_EQ(tree.child(top, u"d"), npos);
    EXPECT_EQ(tree.child(top, CaseFold::fold(u"broad\u01000")), npos);
    EXPECT_FALSE(tree.exists(top));
    bool cut = false;
    EXPECT_EQ(tree.find(Root::LocalMachine, {u"top"}, cut), top);
    EXPECT_TRUE(cut);
    // The same names can be made again below the wiped key.
    const std::uint32_t again = tree.createChild(top, u"D");
    EXPECT_NE(again, npos);
    EXPECT_EQ(tree.child(top, u"d"), again);
    EXPECT_EQ(tree.parent(again), top);
    EXPECT_EQ(tree.name(again), u"D");
}

TEST(WordPool, ItemsNeverMoveAndCostTheirSize) {
    WordPool pool;
    std::vector<std::pair<std::uint32_t, std::size_t>> items;
    std::size_t total = 0;
    for (std::size_t i = 0; i < 20000; ++i) {
        // Mostly small, now and then larger than a block.
        const std::size_t size = i % 1000 == 999 ? 40000 + i : 1 + (i * 7919) % 120;
        const std::uint32_t offset = pool.allocate(size);
        std::memset(pool.at(offset), static_cast<int>(i & 0xFF), size);
        items.emplace_back(offset, size);
        total += size;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        const char* at = pool.at(items[i].first);
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(at) % 4, 0u);
        for (std::size_t b = 0; b < items[i].second; ++b) {
            ASSERT_EQ(static_cast<unsigned char>(at[b]), i & 0xFF) << i;
        }
    }
    // Rounding to words, block ends and the window table: a few per cent.
    EXPECT_LT(pool.bytesHeld(), total + total / 8);
}

} // namespace
} // namespace slidevane
