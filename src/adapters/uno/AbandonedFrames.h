#pragma once

#include "OfficeConnection.h"

#include <string>

// Windows of presentations that the program had to give up while the office was not answering
// as it made them: the office may still finish such a window, hidden, after the program stopped
// waiting. They are found again by their frame's name and closed on the next call that reaches
// the office on that pipe.
//
// Owns: the names of those frames for the life of the process. It never touches a frame whose
// window shows a document, nor any frame it was not told about.
namespace slidevane {

class AbandonedFrames {
public:
    static void Remember(const std::string& pipeName, const std::string& frameName);
    // Closes those of the pipe's frames that exist now; the others are kept for later. Runs
    // inside a call on `office`.
    static void CloseFound(OfficeConnection& office);
    static bool Any(const std::string& pipeName);
};

} // namespace slidevane
