#include "preview/PreviewPane.h"

#include "catalogue/PictureNames.h"

namespace slidevane {

PreviewPane::PreviewPane(BrowserState& state, Catalogue& catalogue, WindowPort& window,
                         WebButton& web)
    : state_(state), catalogue_(catalogue), window_(window), web_(web) {}

void PreviewPane::ShowPreviewPage() {
    std::string unusedFileName;
    bool* const flags[] = {&state_.Pic1OK, &state_.Pic2OK, &state_.Pic3OK};
    for (std::int16_t j = 1; j <= 3; ++j) {
        *flags[j - 1] = catalogue_.LookupTemplateFile(unusedFileName, state_.CurrentIndex, j);
    }

    auto const selected = static_cast<std::int16_t>(state_.PictureIndex - state_.BasePicIndex);
    if (selected >= 1 && selected <= 3) {
        for (std::int16_t j = 1; j <= 3; ++j) {
            char const look = (j == selected && *flags[j - 1]) ? 'b' : 'a';
            auto const number = static_cast<std::int16_t>(state_.BasePicIndex + j);
            std::string const title = catalogue_.GetIndexTitle(state_.CurrentIndex);
            window_.LoadPicture(Thumbnail(j),
                                PictureNames::Preview(state_.DefaultPath, title, look, number));
        }
    }
    std::string const title = catalogue_.GetIndexTitle(state_.CurrentIndex);
    window_.LoadPicture(Control::MainDisBackGnd,
                        PictureNames::Preview(state_.DefaultPath, title, 'c', state_.PictureIndex));
}

void PreviewPane::Dis_MouseMove(int j) {
    web_.ShowNormalPicture();
    state_.PictureIndex = static_cast<std::int16_t>(state_.BasePicIndex + j);
    if (state_.PictureIndex != state_.OldPictureIndex) {
        ShowPreviewPage();
        // Only a repaint that completed moves the guard: a failed one is tried again next move.
        state_.OldPictureIndex = state_.PictureIndex;
    }
}

void PreviewPane::MainDisBackGnd_MouseMove() { web_.ShowNormalPicture(); }

} // namespace slidevane
