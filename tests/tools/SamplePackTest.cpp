// The sample pack must hold every picture and template its registry file names, at the sizes
// the window's controls have, so the program can be tried without a real pack installed.
#include "GifImage.h"
#include "PackRegistryTemplate.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace slidevane {
namespace {

const std::filesystem::path Pack = SLIDEVANE3_PACK_DIR;
const std::filesystem::path Assets = SLIDEVANE3_ASSETS_DIR;
const std::string Key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0";

class SamplePackTest : public ::testing::Test {
protected:
    SamplePackTest() : reg(Pack / "slidevane3.reg.in") {}

    std::vector<std::string> Titles() const {
        std::vector<std::string> titles;
        for (int i = 0;; ++i) {
            const auto title = reg.Value(Key + "\\INDEX", std::to_string(i));
            if (!title)
                return titles;
            titles.push_back(*title);
        }
    }
    std::map<std::string, std::string> Templates(std::size_t category) const {
        return reg.Values(Key + "\\TEMPLATE\\" + std::to_string(category));
    }

    PackRegistryTemplate reg;
};

void ExpectGif(const std::filesystem::path& path, int width, int height) {
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    const GifImage g(path);
    EXPECT_EQ(g.Width(), width) << path;
    EXPECT_EQ(g.Height(), height) << path;
}

bool SamePixels(const std::filesystem::path& a, const std::filesystem::path& b) {
    const GifImage x(a);
    const GifImage y(b);
    if (x.Width() != y.Width() || x.Height() != y.Height())
        return false;
    for (int j = 0; j < x.Height(); ++j)
        for (int i = 0; i < x.Width(); ++i)
            if (!(x.At(i, j) == y.At(i, j)))
                return false;
    return true;
}

TEST_F(SamplePackTest, RegistryTemplateHasTheEditorHeaderAndPackFolder) {
    EXPECT_FALSE(reg.StartsWithByteOrderMark());
    EXPECT_EQ(reg.Header(), "Windows Registry Editor Version 5.00");
    EXPECT_EQ(reg.Value(Key, "PresentPath"), "@PACK_DIR@");
}

TEST_F(SamplePackTest, TenCategoriesInStripOrder) {
    const auto titles = Titles();
    ASSERT_EQ(titles.size(), 10u);
    EXPECT_EQ(titles[0], "Celebration");
    EXPECT_EQ(titles[2], "Announcement");
    EXPECT_EQ(titles[9], "Meeting");
}

TEST_F(SamplePackTest, EveryCategoryHasOneToThreeTemplatesThatExist) {
    for (std::size_t c = 0; c < Titles().size(); ++c) {
        const auto templates = Templates(c);
        EXPECT_GE(templates.size(), 1u) << "category " << c;
        EXPECT_LE(templates.size(), 3u) << "category " << c;
        for (const auto& [slot, file] : templates) {
            EXPECT_TRUE(slot == "1" || slot == "2" || slot == "3") << slot;
            const auto path = Pack / "TEMPLATE" / file;
            ASSERT_TRUE(std::filesystem::exists(path)) << path;
            std::ifstream in(path, std::ios::binary);
            const std::string head(std::istreambuf_iterator<char>(in), {});
            if (path.extension() == ".otp") {
                // Zip whose first entry, stored, names the template media type.
                EXPECT_EQ(head.substr(0, 2), "PK") << path;
                EXPECT_NE(head.substr(0, 200).find("opendocument.presentation-template"),
                          std::string::npos)
                    << path;
            } else {
                ASSERT_EQ(path.extension(), ".pot") << path;
                EXPECT_EQ(head.substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") << path;
            }
        }
    }
}

TEST_F(SamplePackTest, GapsAndLoneTemplatesAreRepresented) {
    const auto announcement = Templates(2);
    EXPECT_EQ(announcement.count("1"), 1u);
    EXPECT_EQ(announcement.count("2"), 0u);
    EXPECT_EQ(announcement.count("3"), 1u);
    const auto status = Templates(5);
    EXPECT_EQ(status.size(), 1u);
    EXPECT_EQ(status.count("1"), 1u);
}

TEST_F(SamplePackTest, EveryPictureTheCatalogueNamesExistsAtItsSize) {
    const auto ui = Pack / "UI";
    const auto titles = Titles();
    ASSERT_FALSE(titles.empty());
    for (std::size_t c = 0; c < titles.size(); ++c) {
        const std::string& t = titles[c];
        for (const char* look : {"a", "b", "c"})
            ExpectGif(ui / ("b_" + t + "-" + look + ".gif"), 88, 17);
        const auto templates = Templates(c);
        for (int slot = 1; slot <= 3; ++slot) {
            const std::string n = std::to_string(slot + 3);
            ExpectGif(ui / ("p_" + t + "-a" + n + ".gif"), 72, 48);
            ExpectGif(ui / ("p_" + t + "-c" + n + ".gif"), 158, 121);
            const auto highlighted = ui / ("p_" + t + "-b" + n + ".gif");
            if (templates.count(std::to_string(slot)))
                ExpectGif(highlighted, 72, 48);
            else
                EXPECT_FALSE(std::filesystem::exists(highlighted)) << highlighted;
        }
    }
    ExpectGif(ui / "www-1.gif", 184, 18);
    ExpectGif(ui / "www-2.gif", 184, 18);
}

TEST_F(SamplePackTest, LooksAreDistinctAndNormalLooksMatchTheStoredPictures) {
    const auto ui = Pack / "UI";
    const auto titles = Titles();
    for (std::size_t c = 0; c < titles.size(); ++c) {
        const std::string& t = titles[c];
        EXPECT_TRUE(SamePixels(ui / ("b_" + t + "-a.gif"),
                               Assets / ("Button" + std::to_string(c + 1) + ".gif")))
            << t << ": the normal look must match the stored strip button";
        EXPECT_FALSE(SamePixels(ui / ("b_" + t + "-a.gif"), ui / ("b_" + t + "-b.gif"))) << t;
        EXPECT_FALSE(SamePixels(ui / ("b_" + t + "-a.gif"), ui / ("b_" + t + "-c.gif"))) << t;
        EXPECT_FALSE(SamePixels(ui / ("b_" + t + "-b.gif"), ui / ("b_" + t + "-c.gif"))) << t;
        for (const auto& [slot, file] : Templates(c)) {
            const std::string n = std::to_string(std::stoi(slot) + 3);
            EXPECT_FALSE(SamePixels(ui / ("p_" + t + "-a" + n + ".gif"),
                                    ui / ("p_" + t + "-b" + n + ".gif")))
                << t << " " << n << ": highlighted thumbnail looks the same as the normal one";
        }
    }
    EXPECT_TRUE(SamePixels(ui / "www-1.gif", Assets / "WWWBtn.gif"));
    EXPECT_FALSE(SamePixels(ui / "www-1.gif", ui / "www-2.gif"));
}

} // namespace
} // namespace slidevane
