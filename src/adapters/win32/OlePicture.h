#pragma once

#include "adapters/win32/ComPtr.h"
#include "adapters/win32/WindowsApi.h"

#include <ocidl.h>
#include <olectl.h>
#include <string>

// One decoded picture, held as OLE's picture object so that GIF transparency is kept and drawn
// by the picture itself.
//
// Owns: the picture object and its size in pixels. It does not own where the picture is shown
// (the controls and the window draw it) nor what a failed load means to the user beyond the
// run-time error it raises.
namespace slidevane {

class OlePicture {
public:
    OlePicture() = default;

    // Reads the file at `path` (ANSI, backslashes; the text up to its first NUL) and decodes it.
    // Throws RuntimeError 53 (file missing), 76 (folder missing) or 481 (not a readable picture).
    static OlePicture FromFile(const std::string& path);
    // A picture stored in this program's resources as RCDATA under `name`; an empty picture
    // when the program carries none of that name.
    static OlePicture FromResource(const char* name);

    bool Empty() const { return !picture_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Draws the picture 1:1 with its top-left corner at (x, y); the caller's clipping applies.
    void Draw(HDC dc, int x, int y) const;

private:
    static OlePicture Decode(const void* bytes, std::size_t size);

    ComPtr<IPicture> picture_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace slidevane
