// The one picture path of both builds: every load reads its file, the same bytes for the same
// size are decoded once and give the same picture object, changed bytes are decoded again,
// anything but a whole GIF is error 481, and the decoded pictures stay within their bounds.
#include "picture/PictureLoader.h"

#include "GifBytes.h"
#include "platform/RuntimeError.h"

#include <gtest/gtest.h>
#include <map>

using namespace slidevane;
using namespace slidevane::testing;

namespace {

// Files in memory, counting every read; a name may be made to raise an error instead.
class MemoryFiles : public PictureFilePort {
public:
    std::string ReadPictureFile(const std::string& path, std::size_t maxBytes) override {
        ++reads;
        lastCap = maxBytes;
        if (auto const error = errors.find(path); error != errors.end()) {
            throw RuntimeError(error->second, "from the port");
        }
        return files.at(path);
    }
    std::map<std::string, std::string> files;
    std::map<std::string, int> errors;
    int reads = 0;
    std::size_t lastCap = 0;
};

std::string Solid(unsigned width, unsigned height, std::uint32_t colour) {
    GifLayout layout;
    layout.screenWidth = layout.width = width;
    layout.screenHeight = layout.height = height;
    layout.globalColours = {colour, 0x000000};
    layout.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    return GifBytes::Write(layout);
}

int ErrorOf(PictureLoader& loader, const std::string& path) {
    try {
        loader.Load(path, 10, 10);
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

class PictureLoaderTest : public ::testing::Test {
protected:
    MemoryFiles files;
    PictureLoader loader{files};
};

TEST_F(PictureLoaderTest, EveryLoadReadsItsFileAndTheSameBytesGiveTheSamePicture) {
    files.files["C:\\UI\\a.gif"] = Solid(30, 20, 0x102030);
    SharedPicture const first = loader.Load("C:\\UI\\a.gif", 88, 17);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->width, 30);
    EXPECT_EQ(first->height, 17); // cut to what the control shows
    EXPECT_EQ(first->pixels.front(), 0xff102030u);
    EXPECT_EQ(files.lastCap, GifStructure::MaxFileBytes);

    EXPECT_EQ(loader.Load("C:\\UI\\a.gif", 88, 17), first) << "decoded once, the same object";
    // The same bytes under another name are the same picture too.
    files.files["C:\\UI\\copy.gif"] = files.files["C:\\UI\\a.gif"];
    EXPECT_EQ(loader.Load("C:\\UI\\copy.gif", 88, 17), first);
    EXPECT_EQ(files.reads, 3) << "every load reads its file";
    EXPECT_EQ(loader.Decoded().Entries(), 1u);

    // Another size is another cut of the file.
    SharedPicture const whole = loader.Load("C:\\UI\\a.gif", 158, 121);
    EXPECT_NE(whole, first);
    EXPECT_EQ(whole->height, 20);
}

TEST_F(PictureLoaderTest, AChangedFileIsDecodedAgain) {
    files.files["p.gif"] = Solid(4, 4, 0x00ff00);
    SharedPicture const green = loader.Load("p.gif", 4, 4);
    // Same size, same length: only the bytes tell them apart.
    files.files["p.gif"] = Solid(4, 4, 0xff0000);
    ASSERT_EQ(files.files["p.gif"].size(), Solid(4, 4, 0x00ff00).size());
    SharedPicture const red = loader.Load("p.gif", 4, 4);
    EXPECT_NE(red, green);
    EXPECT_EQ(red->pixels.front(), 0xffff0000u);
    EXPECT_EQ(green->pixels.front(), 0xff00ff00u) << "a picture given out never changes";
}

TEST_F(PictureLoaderTest, AnythingButAWholeGifIs481AndThePortsErrorsPassThrough) {
    std::string const whole = Solid(5, 5, 0x123456);
    GifLayout wide;
    wide.screenWidth = wide.width = GifStructure::MaxSide + 1;
    wide.pixels.assign(wide.width, 0);
    wide.globalColours = {0};
    struct Case {
        const char* name;
        std::string bytes;
        int error;
    } const cases[] = {
        {"whole.gif", whole, 0},
        {"empty.gif", "", 481},
        {"text.gif", "this is not a picture\n", 481},
        {"bitmap.gif", "BM" + whole.substr(2), 481},
        {"cut.gif", whole.substr(0, whole.size() - 1), 481},
        {"wide.gif", GifBytes::Write(wide), 481},
    };
    for (Case const& one : cases) {
        files.files[one.name] = one.bytes;
        EXPECT_EQ(ErrorOf(loader, one.name), one.error) << one.name;
    }
    EXPECT_EQ(loader.Decoded().Entries(), 1u) << "nothing refused is kept";
    for (int error : {53, 76, 481}) {
        files.errors["failing.gif"] = error;
        EXPECT_EQ(ErrorOf(loader, "failing.gif"), error);
    }
    try {
        loader.Load("cut.gif", 5, 5);
        ADD_FAILURE() << "a cut file was taken";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Description(), "Invalid picture: cut.gif");
    }
}

TEST_F(PictureLoaderTest, DecodedPicturesStayWithinTheirBounds) {
    // More files than entries: the oldest go first, and a picture still shown stays valid.
    SharedPicture const kept = (files.files["0.gif"] = Solid(2, 2, 0), loader.Load("0.gif", 2, 2));
    for (std::size_t i = 1; i <= DecodedPictures::MaxEntries + 10; ++i) {
        std::string const name = std::to_string(i) + ".gif";
        files.files[name] = Solid(2, 2, static_cast<std::uint32_t>(i));
        loader.Load(name, 2, 2);
    }
    EXPECT_EQ(loader.Decoded().Entries(), DecodedPictures::MaxEntries);
    EXPECT_NE(loader.Load("0.gif", 2, 2), kept) << "the oldest was dropped and decoded anew";
    EXPECT_EQ(kept->pixels.size(), 4u);

    // Pictures bigger than the whole budget are given but not kept; bytes stay under the cap.
    DecodedPictures decoded;
    auto big = std::make_shared<GifPicture>();
    big->pixels.resize(DecodedPictures::MaxBytes / 4 / 3 + 1); // three do not fit
    for (int i = 0; i < 5; ++i) {
        decoded.Keep(std::string(1, static_cast<char>('a' + i)), 1, 1, big);
        EXPECT_LE(decoded.Bytes(), DecodedPictures::MaxBytes);
    }
    EXPECT_EQ(decoded.Entries(), 2u);
    auto huge = std::make_shared<GifPicture>();
    huge->pixels.resize(DecodedPictures::MaxBytes / 4 + 1);
    decoded.Keep("h", 1, 1, huge);
    EXPECT_EQ(decoded.Find("h", 1, 1), nullptr);
    EXPECT_EQ(decoded.Entries(), 2u) << "a picture that cannot be kept drops nothing";
}

TEST_F(PictureLoaderTest, StoredPicturesAreDecodedWhole) {
    SharedPicture const stored = PictureLoader::Stored(Solid(419, 290, 0xabcdef));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->width, 419);
    EXPECT_EQ(stored->height, 290);
    EXPECT_EQ(PictureLoader::Stored("not a picture"), nullptr);
    EXPECT_EQ(files.reads, 0);
}

} // namespace
