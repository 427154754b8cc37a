#include "adapters/posix/NameIndex.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace slidevane {
namespace {

// The table holds references only: here, indexes into a list of (owner, name).
class NameIndexTest : public ::testing::Test {
protected:
    struct Entry {
        std::uint32_t owner;
        std::u16string name;
    };
    std::vector<Entry> entries;
    NameIndex index;

    std::uint32_t hashOf(std::uint32_t ref) const {
        return NameIndex::hash(entries[ref].owner, entries[ref].name);
    }
    std::uint32_t add(std::uint32_t owner, std::u16string name) {
        const auto ref = static_cast<std::uint32_t>(entries.size());
        entries.push_back({owner, std::move(name)});
        index.insert(hashOf(ref), ref, [this](std::uint32_t r) { return hashOf(r); });
        return ref;
    }
    std::uint32_t find(std::uint32_t owner, std::u16string_view name) const {
        return index.find(NameIndex::hash(owner, name), [&](std::uint32_t ref) {
            return entries[ref].owner == owner && CaseFold::equal(entries[ref].name, name);
        });
    }
};

TEST_F(NameIndexTest, FindsByOwnerAndNameInAnyCaseThroughGrowth) {
    for (std::uint32_t i = 0; i < 20000; ++i) {
        add(i % 7, u"Name " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                       std::u16string(1, static_cast<char16_t>(0x100 + i / 26)));
    }
    EXPECT_EQ(find(0, u"name a\u0100"), 0u);
    EXPECT_EQ(find(1, u"NAME B\u0100"), 1u);
    EXPECT_EQ(find(1, u"Name A\u0100"), NameIndex::npos); // same name, other owner
    const std::uint32_t last = 19999;
    EXPECT_EQ(find(last % 7, entries[last].name), last);
    EXPECT_EQ(index.size(), 20000u);
    // Between a quarter and a half full: one word a slot.
    EXPECT_LE(index.bytesHeld(), 20000u * 4 * 4);
}

TEST_F(NameIndexTest, ErasedEntriesAreNotFoundAndSlotsAreReused) {
    const auto a = add(3, u"Alpha");
    const auto b = add(3, u"Beta");
    index.erase(hashOf(a), a);
    EXPECT_EQ(find(3, u"alpha"), NameIndex::npos);
    EXPECT_EQ(find(3, u"BETA"), b);
    const std::size_t bytes = index.bytesHeld();
    for (int round = 0; round < 50000; ++round) {
        const auto id = add(4, u"Again");
        EXPECT_EQ(find(4, u"again"), id);
        index.erase(hashOf(id), id);
    }
    EXPECT_EQ(find(3, u"beta"), b);
    EXPECT_EQ(index.size(), 1u);
    EXPECT_EQ(index.bytesHeld(), bytes); // erased slots are reclaimed, not piled up
}

} // namespace
} // namespace slidevane
