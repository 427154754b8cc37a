#pragma once

#include "platform/PictureFilePort.h"

#include <string>

// Picture files on Windows: the catalogue's name opened as it stands (the text up to its first
// NUL), and read only when it is a file on disk, to its end, at most the cap asked for.
//
// Owns: how a file is opened and read here, the errors of a name that does not lead to a file
// (53, 76) and the refusal of what is no readable file (481). It does not decide what the bytes
// must be (the picture room).
namespace slidevane {

class Win32PictureFiles : public PictureFilePort {
public:
    std::string ReadPictureFile(const std::string& path, std::size_t maxBytes) override;
};

} // namespace slidevane
