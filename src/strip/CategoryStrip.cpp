#include "strip/CategoryStrip.h"

#include "catalogue/PictureNames.h"

namespace slidevane {

namespace {

std::int16_t Add16(std::int16_t a, int b) { return static_cast<std::int16_t>(a + b); }

} // namespace

CategoryStrip::CategoryStrip(BrowserState& state, Catalogue& catalogue, WindowPort& window,
                             PreviewPane& preview, WebButton& web)
    : state_(state), catalogue_(catalogue), window_(window), preview_(preview), web_(web) {}

void CategoryStrip::LoadStripPicture(int position, char look) {
    std::string const title = catalogue_.GetIndexTitle(Add16(state_.Index, position));
    window_.LoadPicture(StripButton(position),
                        PictureNames::Strip(state_.DefaultPath, title, look));
}

void CategoryStrip::SetCurrentIndex(std::int16_t indexInt) {
    state_.CurrentIndex = indexInt;
    auto const position = static_cast<std::int16_t>(indexInt - state_.Index);
    if (position >= 0 && position <= 9) {
        LoadStripPicture(position, 'c');
    }
}

void CategoryStrip::Button_Click(int k) {
    SetCurrentIndex(Add16(state_.Index, k));
    preview_.ShowPreviewPage();
}

void CategoryStrip::Button_MouseMove(int k) {
    for (int position = 0; position <= 9; ++position) {
        if (state_.CurrentIndex != Add16(state_.Index, position)) {
            LoadStripPicture(position, position == k ? 'b' : 'a');
        }
    }
    web_.ShowNormalPicture();
    // Paints the current button again; CurrentIndex keeps its value.
    SetCurrentIndex(state_.CurrentIndex);
}

void CategoryStrip::Button_MouseUp(int k) {
    if (state_.CurrentIndex != Add16(state_.Index, k)) {
        LoadStripPicture(k, 'a');
    }
}

} // namespace slidevane
