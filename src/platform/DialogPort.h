#pragma once

#include <string>

// Modal messages to the user and the end of the program after an unhandled error.
//
// Owns: the contract only; the platform draws the box and ends the process.
namespace slidevane {

class DialogPort {
public:
    virtual ~DialogPort() = default;
    // A modal box with an OK button only and no icon; returns when the user has closed it.
    virtual void MessageBox(const std::string& text, const std::string& caption) = 0;
    // Ends the program with `status` once the current event has been handled; no further
    // event reaches the core.
    virtual void Quit(int status) = 0;
};

} // namespace slidevane
