#include "EventLog.h"

namespace slidevane::test {

std::string Line(Control control, Event event) {
    return std::string(ControlName(control)) + " " + std::string(EventName(event));
}

void EventLog::Record(Control control, Event event) {
    entries_.push_back({control, event});
}

std::vector<std::string> EventLog::All() const {
    std::vector<std::string> lines;
    for (auto const& entry : entries_) {
        lines.push_back(Line(entry.control, entry.event));
    }
    return lines;
}

std::vector<std::string> EventLog::Buttons() const {
    std::vector<std::string> lines;
    for (auto const& entry : entries_) {
        if (entry.event != Event::MouseMove) {
            lines.push_back(Line(entry.control, entry.event));
        }
    }
    return lines;
}

std::vector<std::string> EventLog::Of(Control control) const {
    std::vector<std::string> lines;
    for (auto const& entry : entries_) {
        if (entry.control == control) {
            lines.push_back(Line(entry.control, entry.event));
        }
    }
    return lines;
}

int EventLog::Count(Control control, Event event) const {
    int count = 0;
    for (auto const& entry : entries_) {
        count += entry.control == control && entry.event == event ? 1 : 0;
    }
    return count;
}

} // namespace slidevane::test
