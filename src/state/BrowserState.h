#pragma once

#include <cstdint>
#include <string>

// The variables of the main window that several subsystems share. All start as 0, false or the
// empty text when the window is created and live as long as it does.
namespace slidevane {

struct BrowserState {
    std::int16_t Index = 0;           // category shown by Button1
    std::int16_t CurrentIndex = 0;    // the current category
    std::int16_t BasePicIndex = 0;    // picture number just below the first thumbnail
    std::int16_t PictureIndex = 0;    // picture number of the selected preview
    std::int16_t OldPictureIndex = 0; // PictureIndex of the last hover repaint
    bool Pic1OK = false;
    bool Pic2OK = false;
    bool Pic3OK = false;
    std::string DefaultPath; // the UI folder, ending in a backslash
    std::string HasPptVer;   // "9" or "8" while the window exists
};

} // namespace slidevane
