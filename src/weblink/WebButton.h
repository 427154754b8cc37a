#pragma once

#include "platform/ShellPort.h"
#include "platform/WindowPort.h"
#include "state/BrowserState.h"

// The web button: its hover picture under the pointer, its normal picture when other controls
// put it back, and the vendor's address handed to the desktop on a click.
//
// Owns: nothing but the behaviour; what the button shows is only the picture in the control.
// It does not decide when the normal picture returns: the strip and the preview pane call
// ShowNormalPicture on their own events.
namespace slidevane {

class WebButton {
public:
    WebButton(const BrowserState& state, WindowPort& window, ShellPort& shell);

    void WWWBtn_MouseMove();
    void WWWBtn_Click();
    void ShowNormalPicture();

private:
    const BrowserState& state_;
    WindowPort& window_;
    ShellPort& shell_;
};

} // namespace slidevane
