#include "adapters/posix/LoadBudget.h"

#include "adapters/posix/ByteSource.h"
#include "adapters/posix/RegistryTree.h"

#include <gtest/gtest.h>
#include <string>

namespace slidevane {
namespace {

using Holder = LoadBudget::Holder;

TEST(LoadBudget, HoldersShareFourBytesAByteOfTheFileAsFarAsItIsKnown) {
    // A file that says it holds nothing, as one under /proc does: its size is what is read.
    const std::string text(100000, 'x');
    ByteSource file(text, 1000, 0);
    LoadBudget budget(file);
    EXPECT_EQ(budget.limit(), LoadBudget::kFixedBytes);
    char buffer[1000];
    for (int i = 0; i < 10; ++i) {
        file.read(buffer, sizeof buffer);
    }
    const std::size_t limit = 10000 * 4 + LoadBudget::kFixedBytes;
    EXPECT_EQ(budget.limit(), limit);

    budget.hold(Holder::Window, 1000);
    budget.hold(Holder::Tree, limit - 1000); // the whole of it, together
    EXPECT_THROW(budget.hold(Holder::Scratch, 1), LoadBudget::Exceeded);
    EXPECT_THROW(budget.hold(Holder::Window, 1001), LoadBudget::Exceeded);
    EXPECT_EQ(budget.held(), limit); // a refused hold changes nothing
    budget.hold(Holder::Window, 0);  // letting go is always allowed
    budget.hold(Holder::Scratch, 1000);
    EXPECT_EQ(budget.held(), limit);

    // A file that says its size is measured by it from the start.
    ByteSource said(text);
    EXPECT_EQ(LoadBudget(said).limit(), 100000 * 4 + LoadBudget::kFixedBytes);
}

TEST(LoadBudget, ATreeSaysWhatItWillHoldBeforeItTakesIt) {
    const std::string text(20000, 'x');
    ByteSource file(text);
    LoadBudget budget(file);
    RegistryTree tree;
    tree.setBudget(&budget);
    std::uint32_t key = RegistryTree::rootKey(RegistryTree::Root::CurrentUser);
    std::uint32_t values = tree.createChild(key, u"Values");
    bool refused = false;
    try {
        for (int i = 0; i < 1000000; ++i) {
            // Keys down a path, and values in one key: pool, index and records all grow.
            key = tree.createChild(key, u"a");
            tree.setValue(values, u"v" + std::u16string(1, static_cast<char16_t>(0x100 + i)),
                          win::REG_DWORD, std::string(4, '\0'));
            ASSERT_GE(budget.held(), tree.bytesHeld());
        }
    } catch (const LoadBudget::Exceeded&) {
        refused = true;
    }
    EXPECT_TRUE(refused);
    EXPECT_LE(tree.bytesHeld(), budget.limit());
    // Emptied, the tree holds its first blocks again, within the same budget.
    tree.clear();
    EXPECT_EQ(tree.budget(), &budget);
    EXPECT_LT(budget.held(), 4096u);
    tree.setBudget(nullptr);
}

} // namespace
} // namespace slidevane
