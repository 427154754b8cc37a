#pragma once

#include "platform/Control.h"

#include <string>
#include <vector>

// What the window delivered, in order, as "Control Event" lines that read well in a failure.
namespace slidevane::test {

class EventLog {
public:
    void Record(Control control, Event event);
    void Clear() { entries_.clear(); }

    std::vector<std::string> All() const;
    // Everything but the moves: a press at a new place also brings a move.
    std::vector<std::string> Buttons() const;
    std::vector<std::string> Of(Control control) const;
    int Count(Control control, Event event) const;

private:
    struct Entry {
        Control control;
        Event event;
    };
    std::vector<Entry> entries_;
};

std::string Line(Control control, Event event);

} // namespace slidevane::test
