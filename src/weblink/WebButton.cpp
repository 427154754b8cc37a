#include "weblink/WebButton.h"

#include "catalogue/PictureNames.h"
#include "weblink/VendorAddress.h"

namespace slidevane {

WebButton::WebButton(const BrowserState& state, WindowPort& window, ShellPort& shell)
    : state_(state), window_(window), shell_(shell) {}

void WebButton::WWWBtn_MouseMove() {
    window_.LoadPicture(Control::WWWBtn, PictureNames::WebHover(state_.DefaultPath));
}

void WebButton::WWWBtn_Click() {
    // The desktop's answer is not examined: without a browser nothing is shown to the user.
    shell_.ShellExecuteA(nullptr, "open", VendorAddress, nullptr, nullptr, SW_SHOW);
}

void WebButton::ShowNormalPicture() {
    window_.LoadPicture(Control::WWWBtn, PictureNames::WebNormal(state_.DefaultPath));
}

} // namespace slidevane
