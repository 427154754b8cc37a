#pragma once

#include "catalogue/Catalogue.h"
#include "platform/WindowPort.h"
#include "state/BrowserState.h"
#include "weblink/WebButton.h"

// The three thumbnails and the main preview of the current category, and selection by pointer
// movement over them.
//
// Owns: the repaint of the pane from the Browser state (Pic1OK to Pic3OK, the thumbnail and
// main pictures) and the hover guard OldPictureIndex. It does not own the current category
// (the strip sets it) nor the web button, which it only asks to show its normal picture.
namespace slidevane {

class PreviewPane {
public:
    PreviewPane(BrowserState& state, Catalogue& catalogue, WindowPort& window, WebButton& web);

    void ShowPreviewPage();
    // Pointer move over thumbnail j (1 to 3).
    void Dis_MouseMove(int j);
    void MainDisBackGnd_MouseMove();

private:
    BrowserState& state_;
    Catalogue& catalogue_;
    WindowPort& window_;
    WebButton& web_;
};

} // namespace slidevane
