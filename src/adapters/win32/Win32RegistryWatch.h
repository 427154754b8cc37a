#pragma once

#include "platform/RegistryWatch.h"

#include <vector>

// Changes to the registry on Windows, told by the registry itself: for each root key asked
// about, a change notification over its whole tree (names, values, attributes and rights, in
// both registry views) signals an event of its own. Asking is one look at that event; only after
// it was signalled is the notification asked for again.
//
// The notification is set before the writer's call returns (the registry signals it as part of
// the write), so a change completed before a look is seen by that look. A root key cannot be
// deleted, so no rename or deletion of a key on the way to a value escapes the watch.
//
// Owns: the events and the notifications. It reads no values (Win32Registry does) and never
// writes.
namespace slidevane {

class Win32RegistryWatch : public RegistryWatch {
public:
    Win32RegistryWatch() = default;
    ~Win32RegistryWatch() override;
    Win32RegistryWatch(const Win32RegistryWatch&) = delete;
    Win32RegistryWatch& operator=(const Win32RegistryWatch&) = delete;

    bool MayHaveChanged(win::HKEY root) override;

private:
    struct Watch {
        win::HKEY root;
        void* event; // auto-reset: a look that finds it signalled also clears it
        bool armed;  // the notification is set and has not fired since it was looked at
    };
    std::vector<Watch> watches_;
};

} // namespace slidevane
