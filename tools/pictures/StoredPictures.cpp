#include "StoredPictures.h"

#include "ControlArt.h"
#include "DesignCatalogue.h"
#include "GifWriter.h"
#include "IconArt.h"
#include "IconFile.h"
#include "LookColours.h"
#include "PointerArt.h"
#include "PreviewFrame.h"
#include "Quantiser.h"
#include "SlideSketch.h"
#include "WindowArt.h"

#include <stdexcept>

namespace slidevane {

namespace {

const std::vector<Rgb>& LookPins() {
    static const std::vector<Rgb> pins{LookColours::Panel,       LookColours::SlideFrame,
                                       LookColours::SlideShadow, LookColours::Highlight,
                                       LookColours::BottomBar,   LookColours::BarText,
                                       LookColours::GlyphMark};
    return pins;
}

} // namespace

void StoredPictures::WriteGif(const QImage& image, const std::filesystem::path& path,
                              const std::vector<Rgb>& pinned, int maxColours) {
    std::vector<Rgb> pins = pinned;
    for (Rgb c : LookPins())
        pins.push_back(c);
    GifWriter::Write(Quantiser::Reduce(image, pins, maxColours), path);
}

void StoredPictures::WriteAll(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    WriteGif(WindowArt::Background(), folder / "background.gif", WindowArt::PinnedColours());

    // The first category's designs stand in until a pack is read; slot by slot, falling back
    // to the next category when a slot is empty so there are always three different slides.
    std::vector<SlideDesign> designs;
    for (int category = 0; designs.size() < 3 && category < DesignCatalogue::CategoryCount;
         ++category)
        for (int slot = 1; slot <= 3 && designs.size() < 3; ++slot)
            if (auto d = DesignCatalogue::Design(category, slot))
                designs.push_back(*d);
    if (designs.size() < 3)
        throw std::logic_error("the catalogue has fewer than three designs");
    for (int i = 0; i < 3; ++i) {
        const QImage slide = SlideSketch::Draw(designs[i], 224, 168);
        WriteGif(PreviewFrame::Thumbnail(slide, false),
                 folder / ("Dis" + std::to_string(i + 1) + "BackGnd.gif"));
    }
    WriteGif(PreviewFrame::Main(SlideSketch::Draw(designs[0], 432, 324)),
             folder / "MainDisBackGnd.gif");

    WriteGif(ControlArt::WebButton(false), folder / "WWWBtn.gif");
    WriteGif(ControlArt::MinimizeGlyph(), folder / "Picture10.gif");
    WriteGif(ControlArt::CloseGlyph(), folder / "Picture9.gif");
    for (int i = 0; i < DesignCatalogue::CategoryCount; ++i)
        WriteGif(ControlArt::StripButton(QString::fromStdString(DesignCatalogue::Titles()[i]),
                                         ControlArt::StripLook::Normal),
                 folder / ("Button" + std::to_string(i + 1) + ".gif"));

    IconFile icon(IconFile::Kind::Icon);
    for (int size : {16, 32}) {
        std::vector<std::uint8_t> mask;
        icon.Add(Quantiser::ToPalette(IconArt::Draw(size), IconArt::SixteenColours(), mask), mask);
    }
    icon.Save(folder / "slidevane3.ico");

    IconFile pointer(IconFile::Kind::Pointer);
    std::vector<std::uint8_t> mask;
    const IndexedImage hand = PointerArt::Draw(mask);
    pointer.Add(hand, mask, PointerArt::HotX, PointerArt::HotY);
    pointer.Save(folder / "hand.cur");
}

} // namespace slidevane
