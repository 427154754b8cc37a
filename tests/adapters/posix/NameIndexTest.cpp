#include "adapters/posix/NameIndex.h"

#include "HostileRegistryFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace slidevane {
namespace {

using test::HostileRegistryFiles;

// The table holds references only: here, indexes into a list of (owner, name).
class NameIndexTest : public ::testing::Test {
protected:
    struct Entry {
        std::uint32_t owner;
        std::u16string name;
    };
    std::vector<Entry> entries;
    NameIndex index;
    HashKey key = HashKey::process();
    std::size_t comparisons = 0;

    std::uint32_t hashOf(std::uint32_t ref) const {
        return NameIndex::hash(entries[ref].owner, entries[ref].name, key);
    }
    std::uint32_t add(std::uint32_t owner, std::u16string name) {
        const auto ref = static_cast<std::uint32_t>(entries.size());
        entries.push_back({owner, std::move(name)});
        index.insert(hashOf(ref), ref);
        return ref;
    }
    std::uint32_t find(std::uint32_t owner, std::u16string_view name) {
        return index.find(NameIndex::hash(owner, name, key), [&](std::uint32_t ref) {
            ++comparisons;
            return entries[ref].owner == owner && CaseFold::equal(entries[ref].name, name);
        });
    }
};

TEST_F(NameIndexTest, FindsByOwnerAndNameInAnyCaseThroughGrowth) {
    for (std::uint32_t i = 0; i < 20000; ++i) {
        add(i % 7, u"Name " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                       std::u16string(1, static_cast<char16_t>(0x100 + i / 26)));
    }
    EXPECT_EQ(find(0, u"name a\u0101"), 0u);
    EXPECT_EQ(find(1, u"NAME B\u0101"), 1u);
    EXPECT_EQ(find(1, u"Name A\u0101"), NameIndex::npos); // same name, other owner
    const std::uint32_t last = 19999;
    EXPECT_EQ(find(last % 7, entries[last].name), last);
    EXPECT_EQ(index.size(), 20000u);
    // Between half and three quarters full, a reference and its hash a slot.
    EXPECT_LE(index.bytesHeld(), 20000u * 16);
    // Only names that hash alike are compared: the ones found, and no other.
    EXPECT_EQ(comparisons, 3u);
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

TEST_F(NameIndexTest, NamesChosenToCrowdTheTableUnderAKnownHashSpreadUnderTheProcesssKey) {
    // 4,000 names under one key, each placed in the first sixteenth of the table by a hash
    // that is known: the index's hash before it was keyed (in the table of 8,192 slots it
    // had for them), or its hash under a key that is not this process's (below 2^28, in the
    // first sixteenth of any table). Under either, every name lands past all those before
    // it: a lookup passes thousands of slots.
    constexpr std::size_t kNames = 4000;
    constexpr std::size_t kUnkeyedSlots = 8192;
    constexpr std::uint32_t kOwner = 5;
    const HashKey known{0x0706050403020100ull, 0x0f0e0d0c0b0a0908ull};
    std::vector<std::u16string> chosenKeyed;
    for (std::uint64_t n = 0; chosenKeyed.size() < kNames; ++n) {
        std::u16string name = u"k";
        for (const char c : std::to_string(n)) {
            name += static_cast<char16_t>(c);
        }
        if (NameIndex::hash(kOwner, name, known) < (1u << 28)) {
            chosenKeyed.push_back(std::move(name));
        }
    }
    const std::vector<std::u16string> chosenUnkeyed =
        HostileRegistryFiles::clusteringNames(kOwner, kNames, kUnkeyedSlots);
    const std::vector<std::u16string>* const choices[] = {&chosenUnkeyed, &chosenKeyed};
    for (const auto* names : choices) {
        for (const HashKey& under : {known, HashKey::process()}) {
            SCOPED_TRACE(testing::Message()
                         << (names == &chosenKeyed ? "keyed" : "unkeyed") << " choice, "
                         << (under == known ? "known" : "own") << " key");
            entries.clear();
            index = NameIndex();
            key = under;
            comparisons = 0;
            for (const auto& name : *names) {
                add(kOwner, name);
            }
            // Half to three quarters full, 8 bytes a slot.
            ASSERT_LE(index.bytesHeld(), kNames * 16 + 16);
            for (const auto& name : *names) {
                ASSERT_NE(find(kOwner, name), NameIndex::npos);
            }
            if (names == &chosenKeyed && under == known) {
                // The attack works when the key is known: one run holds every name.
                EXPECT_GE(index.longestProbe(), kNames);
            } else {
                // Random slots, at most three quarters full: runs of a few dozen.
                EXPECT_LE(index.longestProbe(), 200u);
                EXPECT_LE(comparisons, kNames + 16);
            }
        }
    }
}

TEST(SipHashTest, MatchesTheReferenceVectorsAndTheIndexHashesTheBytesItSays) {
    // The reference implementation's SipHash-2-4, key 00..0f, messages 00, 01, 02, ...
    const HashKey key{0x0706050403020100ull, 0x0f0e0d0c0b0a0908ull};
    unsigned char message[15];
    for (unsigned char i = 0; i < sizeof message; ++i) {
        message[i] = i;
    }
    EXPECT_EQ((SipHash<2, 4>::of(key, message, 0)), 0x726fdb47dd0e0e31ull);
    EXPECT_EQ((SipHash<2, 4>::of(key, message, 1)), 0x74f839c593dc67fdull);
    EXPECT_EQ((SipHash<2, 4>::of(key, message, 8)), 0x93f5f5799a932462ull);
    EXPECT_EQ((SipHash<2, 4>::of(key, message, 15)), 0xa129ca6149be45e5ull);

    // The index's hash is SipHash-1-3 of the owner and the folded units, little-endian, fed
    // as they are folded: every length of the last block.
    for (const std::u16string name :
         {u"", u"a", u"Ab", u"ABC", u"Name \u00C4\u0416x", u"0123456789"}) {
        std::string bytes = {'\x2A', '\x01', '\0', '\0'}; // owner 0x12A
        for (const char16_t unit : CaseFold::fold(name)) {
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        }
        EXPECT_EQ(NameIndex::hash(0x12A, name, key),
                  static_cast<std::uint32_t>(SipHash<1, 3>::of(key, bytes.data(), bytes.size())));
        EXPECT_EQ(NameIndex::hash(0x12A, name), NameIndex::hash(0x12A, CaseFold::fold(name)));
    }
}

TEST(HashKeyTest, EachKeyIsDrawnAfreshAndTheProcessKeepsOne) {
    const HashKey a = HashKey::draw();
    const HashKey b = HashKey::draw();
    EXPECT_NE(a, b);
    EXPECT_NE(a, HashKey{});
    EXPECT_EQ(&HashKey::process(), &HashKey::process());
    EXPECT_NE(HashKey::process(), HashKey{});
}

} // namespace
} // namespace slidevane
