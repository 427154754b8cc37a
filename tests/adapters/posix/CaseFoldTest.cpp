#include "adapters/posix/CaseFold.h"

#include <gtest/gtest.h>

namespace slidevane {
namespace {

TEST(CaseFold, MatchesAcrossScriptsTheWayRegistryNamesCompare) {
    EXPECT_TRUE(CaseFold::equal(u"Software\\Norvale Inc.", u"SOFTWARE\\norvale INC."));
    EXPECT_TRUE(
        CaseFold::equal(u"\u00C4rger \u00C9t\u00C9", u"\u00E4RGER \u00E9T\u00E9")); // Latin-1
    EXPECT_TRUE(CaseFold::equal(u"\u0141\u00F3d\u017A", u"\u0142\u00D3D\u0179"));   // Ext-A
    EXPECT_TRUE(CaseFold::equal(u"\u0178", u"\u00FF"));                             // Y diaeresis
    EXPECT_TRUE(CaseFold::equal(u"\u0394\u03A3", u"\u03B4\u03C3"));                 // Greek
    EXPECT_TRUE(CaseFold::equal(u"\u0416\u0401", u"\u0436\u0451"));                 // Cyrillic
    EXPECT_TRUE(CaseFold::equal(u"\uFF21", u"\uFF41"));                             // full-width
}

TEST(CaseFold, KeepsDistinctCharactersDistinct) {
    // The multiplication and division signs sit where a letter pair would in Latin-1.
    EXPECT_FALSE(CaseFold::equal(u"\u00D7", u"\u00F7"));
    EXPECT_FALSE(CaseFold::equal(u"a", u"b"));
    EXPECT_FALSE(CaseFold::equal(u"ab", u"abc"));
    EXPECT_FALSE(CaseFold::equal(u"[", u"{")); // 0x5B and 0x7B differ by 0x20 but are no letters
    EXPECT_FALSE(CaseFold::equal(u"\u00DF", u"ss"));
    EXPECT_EQ(CaseFold::fold(u'\u00DE'), u'\u00FE');
    EXPECT_EQ(CaseFold::fold(u'\u00DF'), u'\u00DF');
}

} // namespace
} // namespace slidevane
