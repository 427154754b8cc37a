#pragma once

#include "catalogue/Catalogue.h"
#include "platform/WindowPort.h"
#include "preview/PreviewPane.h"
#include "state/BrowserState.h"
#include "weblink/WebButton.h"

// The column of ten category buttons: which category is current, and the normal, hover and
// current pictures of the buttons.
//
// Owns: CurrentIndex (only SetCurrentIndex writes it) and the strip buttons' pictures. It does
// not own the preview pane, which it asks to refresh after a click, nor the web button, which it
// asks to show its normal picture on every move over the strip.
namespace slidevane {

class CategoryStrip {
public:
    CategoryStrip(BrowserState& state, Catalogue& catalogue, WindowPort& window,
                  PreviewPane& preview, WebButton& web);

    void SetCurrentIndex(std::int16_t indexInt);
    // Handlers of the button at strip position k (0 = Button1 to 9 = Button10).
    void Button_Click(int k);
    void Button_MouseMove(int k);
    void Button_MouseUp(int k);

private:
    void LoadStripPicture(int position, char look);

    BrowserState& state_;
    Catalogue& catalogue_;
    WindowPort& window_;
    PreviewPane& preview_;
    WebButton& web_;
};

} // namespace slidevane
