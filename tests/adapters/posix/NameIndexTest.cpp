#include "adapters/posix/NameIndex.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace slidevane {
namespace {

class NameIndexTest : public ::testing::Test {
protected:
    std::vector<std::u16string> names;
    NameIndex index;

    std::uint32_t add(std::uint32_t owner, std::u16string name) {
        const auto id = static_cast<std::uint32_t>(names.size());
        names.push_back(std::move(name));
        index.insert(owner, NameIndex::hash(owner, names.back()), id);
        return id;
    }
    std::uint32_t find(std::uint32_t owner, std::u16string_view name) const {
        return index.find(owner, name, NameIndex::hash(owner, name),
                          [this](std::uint32_t id) -> std::u16string_view { return names[id]; });
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
    EXPECT_EQ(find(last % 7, names[last]), last);
}

TEST_F(NameIndexTest, ErasedEntriesAreNotFoundAndSlotsAreReused) {
    const auto a = add(3, u"Alpha");
    const auto b = add(3, u"Beta");
    index.erase(NameIndex::hash(3, u"Alpha"), a);
    EXPECT_EQ(find(3, u"alpha"), NameIndex::npos);
    EXPECT_EQ(find(3, u"BETA"), b);
    for (int round = 0; round < 50000; ++round) {
        const auto id = add(4, u"Again");
        EXPECT_EQ(find(4, u"again"), id);
        index.erase(NameIndex::hash(4, u"Again"), id);
    }
    EXPECT_EQ(find(3, u"beta"), b);
}

} // namespace
} // namespace slidevane
