// A UI file that is there but is no usable GIF: empty, cut short (before or inside its image),
// another format under the .gif name, codes no encoder writes, or a header claiming a picture far
// larger than any of the layout. Each is reported as an
// invalid picture where it is loaded, and a huge claim costs no memory.
#include "FaultBrowser.h"
#include "GifFile.h"
#include "ModalBoxWatcher.h"
#include "Pointer.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/resource.h>

namespace slidevane::test {
namespace {

using Shown = FaultBrowser::Shown;

// The bytes of one kind of bad file, made from the good file it replaces.
using Damage = QByteArray (*)(const QByteArray& good);

QByteArray Empty(const QByteArray&) {
    return {};
}

// Where the first image descriptor of a well-formed GIF starts: after the signature, the screen
// descriptor, the global colour table and any extension blocks.
qsizetype ImageStart(const QByteArray& gif) {
    auto byte = [&](qsizetype at) { return static_cast<unsigned char>(gif.at(at)); };
    qsizetype at = 13;
    if (byte(10) & 0x80) {
        at += 3 * (qsizetype(1) << ((byte(10) & 7) + 1));
    }
    while (byte(at) == '!') {
        at += 2;
        while (byte(at) != 0) {
            at += byte(at) + 1;
        }
        ++at;
    }
    if (byte(at) != ',') {
        throw std::runtime_error("not an image descriptor");
    }
    return at;
}

// The signature, the screen descriptor and the colour table, and nothing of the picture.
QByteArray CutBeforeTheImage(const QByteArray& good) {
    return good.left(ImageStart(good));
}

// The image descriptor and half of the compressed pixels, without the trailer.
QByteArray CutInTheImageData(const QByteArray& good) {
    qsizetype const pixels = ImageStart(good) + 10;
    return good.left(pixels + (good.size() - pixels) / 2);
}

QByteArray PngUnderTheGifName(const QByteArray& good) {
    QImage const picture = QImage::fromData(good, "GIF");
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

QByteArray ReadBack(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ClaimingAHugeScreen(const QByteArray&) {
    QTemporaryDir scratch;
    QString const path = scratch.filePath(QStringLiteral("claim.gif"));
    GifFile::WriteClaimingSize(path, 65535, 65535);
    return ReadBack(path);
}

// A 16 x 16 screen whose only image claims 65535 x 65535 pixels.
QByteArray ClaimingAHugeImage(const QByteArray&) {
    QByteArray bytes("GIF89a\x10\x00\x10\x00\x80\x00\x00", 13);
    bytes.append(QByteArray("\xff\x00\x00\x00\x00\xff", 6));
    bytes.append(QByteArray(",\0\0\0\0\xff\xff\xff\xff\0", 10));
    bytes.append(QByteArray("\x02\x02\x44\x01\x00;", 6));
    return bytes;
}

// Blocks, sizes and trailer all in order, but the third code lies beyond the string table: no
// encoder writes it, and what it would decode to is anyone's guess.
QByteArray CodeBeyondTheTable(const QByteArray&) {
    return QByteArray("GIF89a\x02\x00\x02\x00\x80\x00\x00"
                      "\xff\x00\x00\x00\x00\xff"
                      ",\x00\x00\x00\x00\x02\x00\x02\x00\x00"
                      "\x02\x02\xcc\x53\x00;",
                      36);
}

QByteArray PlainText(const QByteArray&) {
    return "This is not a picture.\n";
}

struct BadFile {
    const char* name;
    Damage damage;
};

void PrintTo(const BadFile& bad, std::ostream* out) {
    *out << bad.name;
}

const BadFile BadFiles[] = {
    {"Empty", Empty},
    {"CutBeforeTheImage", CutBeforeTheImage},
    {"CutInTheImageData", CutInTheImageData},
    {"PngUnderTheGifName", PngUnderTheGifName},
    {"ClaimingAHugeScreen", ClaimingAHugeScreen},
    {"PlainText", PlainText},
    {"CodeBeyondTheTable", CodeBeyondTheTable},
};

std::string InvalidPicture(const FaultPack& pack, const std::string& name) {
    return "Run-time error '481':\n\nInvalid picture: " + pack.CataloguePath(name);
}

class BadPicture : public testing::TestWithParam<BadFile> {
protected:
    void Spoil(const std::string& name) {
        pack.Overwrite(name, GetParam().damage(pack.Read(name)));
    }

    FaultPack pack;
    ModalBoxWatcher watcher;
};

TEST_P(BadPicture, AtStartUpIsReportedAsInvalidBeforeTheWindowIsShown) {
    Spoil(pack.StripName(2, 'c'));
    FaultBrowser browser(pack);
    EXPECT_FALSE(browser.Start());
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(), InvalidPicture(pack, pack.StripName(2, 'c')));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_FALSE(browser.window.isVisible());
    EXPECT_EQ(browser.Showing(), Shown{});
}

TEST_P(BadPicture, InTheMainPreviewIsReportedAfterTheThumbnailsChanged) {
    FaultBrowser browser(pack);
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    Spoil(pack.PreviewName(2, 'c', 6));
    pointer.MoveTo(browser.Centre(Control::Dis3BackGnd));
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(),
              InvalidPicture(pack, pack.PreviewName(2, 'c', 6)));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_EQ(browser.Showing(), (Shown{{"Button3", pack.StripName(2, 'c')},
                                        {"WWWBtn", FaultPack::WebName(1)},
                                        {"Dis1BackGnd", pack.PreviewName(2, 'a', 4)},
                                        {"Dis2BackGnd", pack.PreviewName(2, 'a', 5)},
                                        {"Dis3BackGnd", pack.PreviewName(2, 'b', 6)},
                                        {"MainDisBackGnd", pack.PreviewName(2, 'c', 4)}}));
}

TEST_P(BadPicture, UnderTheStripPointerIsReportedBeforeAnyStripPictureChanges) {
    FaultBrowser browser(pack);
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    Shown const before = browser.Showing();
    Spoil(pack.StripName(0, 'b'));
    pointer.MoveTo(browser.Centre(Control::Button1));
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(), InvalidPicture(pack, pack.StripName(0, 'b')));
    EXPECT_EQ(browser.dialog.QuitStatus(), 1);
    EXPECT_EQ(browser.Showing(), before);
}

INSTANTIATE_TEST_SUITE_P(Faults, BadPicture, testing::ValuesIn(BadFiles),
                         [](const auto& info) { return std::string(info.param.name); });

// Peak resident memory of this process, KiB.
long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Peak virtual size of this process, KiB: an allocation for the claim shows here even when its
// pages are never touched.
long PeakVirtualKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmPeak:", 0) == 0) {
            return std::stol(line.substr(7));
        }
    }
    return -1;
}

// Measures what a start-up on `pack` costs in peak memory beyond what was used before it.
struct PeakGrowth {
    long residentKiB;
    long virtualKiB;
};

PeakGrowth StartUpGrowth(FaultBrowser& browser, bool& started) {
    long const residentBefore = PeakResidentKiB();
    long const virtualBefore = PeakVirtualKiB();
    started = browser.Start();
    return {PeakResidentKiB() - residentBefore, PeakVirtualKiB() - virtualBefore};
}

// The claims are 4 GiB of pixels at one byte each; the box and the window need a few MiB.
constexpr long ResidentAllowanceKiB = 64 * 1024;
constexpr long VirtualAllowanceKiB = 512 * 1024;

// Start-up on a pack whose current strip picture is `bytes`: refused as an invalid picture, and
// nothing allocated for what the file claims.
void ExpectRefusedWithoutAllocating(const QByteArray& bytes) {
    FaultPack pack;
    pack.Overwrite(pack.StripName(2, 'c'), bytes);
    FaultBrowser browser(pack);
    ModalBoxWatcher watcher;
    bool started = true;
    PeakGrowth const growth = StartUpGrowth(browser, started);
    EXPECT_FALSE(started);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].text.toStdString(), InvalidPicture(pack, pack.StripName(2, 'c')));
    EXPECT_LT(growth.residentKiB, ResidentAllowanceKiB);
    EXPECT_LT(growth.virtualKiB, VirtualAllowanceKiB);
}

TEST(HugeClaim, AScreenOf65535By65535IsInvalidAndAllocatesNothingForIt) {
    ExpectRefusedWithoutAllocating(ClaimingAHugeScreen({}));
}

// A claim in the image rather than the screen is refused the same way: a picture of the layout
// is never that large, and no decoder gets to allocate for it.
TEST(HugeClaim, AnImageOf65535By65535OnASmallScreenIsInvalidAndAllocatesNothingForIt) {
    ExpectRefusedWithoutAllocating(ClaimingAHugeImage({}));
}

} // namespace
} // namespace slidevane::test
