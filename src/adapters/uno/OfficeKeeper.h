#pragma once

#include "OfficeGroup.h"

#include <chrono>
#include <string>

// The other end of the program's tie to an office it started ahead: in a process of its own, it
// waits for the program to end, however it ends, and then ends that office unless the office
// holds a document (one the program opened, or one the user opened in it some other way).
// The office is asked to end first; only what is left of its group after a few seconds is
// killed. An office that stays loses what the program readied it with.
//
// Owns: the decision at the end and the office's group from then on. It never acts on an
// office that holds a document, nor on processes outside the group its program started.
namespace slidevane {

class OfficeKeeper {
public:
    struct Settings {
        std::string pipeName;
        std::string profileUrl;
        OfficeGroup group;
        // How long a still-starting office is waited for, and how long it has to end.
        std::chrono::milliseconds startDeadline{std::chrono::seconds(60)};
        std::chrono::milliseconds endDeadline{std::chrono::seconds(3)};
    };

    explicit OfficeKeeper(Settings settings) : settings_(std::move(settings)) {}

    // Waits for end of file on `tie`, then does its work. Returns what it did: "left" (a
    // document is open, or the office went by itself), "ended" or "killed".
    std::string Run(int tie);
    // The work alone, once the program has gone.
    std::string EndUnlessInUse();

    // The prefix of the frames the program keeps for itself while it readies an office; they
    // are not the user's documents.
    static constexpr char OwnFramePrefix[] = "slidevane3_ready_";

private:
    bool HoldsDocuments();

    Settings settings_;
};

} // namespace slidevane
