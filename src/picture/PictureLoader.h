#pragma once

#include "picture/DecodedPictures.h"
#include "picture/GifStructure.h"
#include "platform/PictureFilePort.h"

#include <string>
#include <string_view>

// The one way a picture reaches a control, on every platform: the file is read afresh through
// the platform's port (a regular file only, at most MaxFileBytes), checked to be one whole GIF of
// sane size, and decoded by the core's own decoder only as far as the control shows it, unless
// exactly these bytes were decoded for this size before. Stored pictures go through the same
// decoder, whole.
//
// Owns: the decoded pictures and the rule that anything but a whole GIF is error 481. It does
// not resolve or open files (the port) nor paint (the platform's window, which draws the pixels
// 1:1 from the control's top-left corner).
namespace slidevane {

class PictureLoader {
public:
    static constexpr std::size_t MaxFileBytes = GifStructure::MaxFileBytes;

    explicit PictureLoader(PictureFilePort& files) : files_(files) {}

    // The part of the picture in the file at `path` that a control of width x height shows.
    // Throws RuntimeError 53 or 76 from the port, and 481 when the file is no whole GIF or no
    // readable regular file. The same bytes for the same size give the same picture object, so a
    // window can tell an unchanged picture by its address.
    SharedPicture Load(const std::string& path, int width, int height);

    // A picture stored with the program, whole; null when `bytes` are not a whole GIF.
    static SharedPicture Stored(std::string_view bytes);

    const DecodedPictures& Decoded() const { return decoded_; }

private:
    PictureFilePort& files_;
    DecodedPictures decoded_;
};

} // namespace slidevane
