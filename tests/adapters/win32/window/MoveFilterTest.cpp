#include "adapters/win32/MoveFilter.h"

#include <gtest/gtest.h>

using namespace slidevane;

namespace {

TEST(MoveFilterTest, OnlyAChangeOfPlaceIsAMove) {
    MoveFilter moves;
    EXPECT_TRUE(moves.Moved({100, 40})) << "the first move message is always a move";
    EXPECT_FALSE(moves.Moved({100, 40})) << "the one after a release, at the same place";
    EXPECT_FALSE(moves.Moved({100, 40}));
    EXPECT_TRUE(moves.Moved({101, 40}));
    EXPECT_TRUE(moves.Moved({101, 39}));
    // Away and back to a place seen before: each is a move.
    EXPECT_TRUE(moves.Moved({100, 40}));
    EXPECT_TRUE(moves.Moved({-3, -7}));
    EXPECT_FALSE(moves.Moved({-3, -7}));
}

} // namespace
