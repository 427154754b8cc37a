// Pictures of 4096 x 4096 pixels in files of a few kilobytes, for every picture that start-up and
// the pointer load: each control gets only the corner it shows, and browsing costs no more memory
// than the controls' own pictures, however often the pointer passes.
#include "FaultBrowser.h"
#include "GifFile.h"
#include "PixelProbe.h"
#include "Pointer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace slidevane::test {
namespace {

constexpr int Side = 4096;

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A 4096 x 4096 picture of one colour: written once by giflib, then given each colour by
// rewriting the first entry of its colour table, so that every file has bytes of its own.
QByteArray Huge(QColor colour) {
    static QByteArray const written = [] {
        QTemporaryDir scratch;
        QString const path = scratch.filePath(QStringLiteral("huge.gif"));
        GifFile::WriteSolid(path, Side, Side, Qt::black);
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QByteArray bytes = written;
    bytes[13] = static_cast<char>(colour.red());
    bytes[14] = static_cast<char>(colour.green());
    bytes[15] = static_cast<char>(colour.blue());
    return bytes;
}

TEST(LargePicture, EachControlDecodesOnlyTheCornerItShows) {
    FaultPack pack;
    int shade = 0;
    auto next = [&] {
        ++shade;
        return QColor(40 + shade % 200, 255 - shade % 200, 99);
    };
    for (int c = 0; c < 10; ++c) {
        for (char look : {'a', 'b', 'c'}) {
            pack.Overwrite(pack.StripName(c, look), Huge(next()));
            for (int n = 4; n <= 6; ++n) {
                pack.Overwrite(pack.PreviewName(c, look, n), Huge(next()));
            }
        }
    }
    QColor const current(200, 30, 60);
    pack.Overwrite(pack.StripName(2, 'c'), Huge(current));
    pack.Overwrite(FaultPack::WebName(1), Huge(next()));
    pack.Overwrite(FaultPack::WebName(2), Huge(next()));
    ASSERT_LT(pack.Read(pack.StripName(2, 'c')).size(), 20000);

    FaultBrowser browser(pack);
    long const before = PeakResidentKiB();
    ASSERT_TRUE(browser.Start());
    Pointer pointer(browser.window);
    // Back and forth over the strip and the thumbnails, each move loading 4096 x 4096 files.
    for (int round = 0; round < 10; ++round) {
        pointer.MoveTo(browser.Centre(round % 2 ? Control::Button1 : Control::Button2));
        pointer.MoveTo(browser.Centre(round % 2 ? Control::Dis1BackGnd : Control::Dis3BackGnd));
    }
    // One decoded picture at 4096 x 4096 is 64 MiB; the controls' corners are a few hundred KiB.
    EXPECT_LT(PeakResidentKiB() - before, 24 * 1024);

    QWidget const& button3 = browser.window.Widget(Control::Button3);
    EXPECT_EQ(browser.window.Widget(Control::Button3).Picture().size(), button3.size());
    QWidget const& main = browser.window.Widget(Control::MainDisBackGnd);
    EXPECT_EQ(browser.window.Widget(Control::MainDisBackGnd).Picture().size(), main.size());
    PixelProbe const probe(browser.window);
    EXPECT_TRUE(probe.Uniform(button3.geometry(), current));
}

} // namespace
} // namespace slidevane::test
