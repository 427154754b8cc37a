#include "adapters/win32/Win32RegistryWatch.h"

#include "adapters/win32/Win32Registry.h"
#include "adapters/win32/WindowsApi.h"

namespace slidevane {

namespace {

constexpr DWORD EveryChange = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_ATTRIBUTES |
                              REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_SECURITY;

} // namespace

Win32RegistryWatch::~Win32RegistryWatch() {
    for (Watch const& watch : watches_) {
        if (watch.event != nullptr) {
            CloseHandle(watch.event);
        }
    }
}

bool Win32RegistryWatch::MayHaveChanged(win::HKEY root) {
    Watch* watch = nullptr;
    for (Watch& known : watches_) {
        if (known.root == root) {
            watch = &known;
        }
    }
    if (watch == nullptr) {
        watch = &watches_.emplace_back(
            Watch{root, CreateEventA(nullptr, FALSE, FALSE, nullptr), false});
    }
    if (watch->event == nullptr) {
        return true; // nothing to watch with: every read goes to the registry
    }
    if (watch->armed && WaitForSingleObject(watch->event, 0) == WAIT_TIMEOUT) {
        return false;
    }
    // Asked again before the caller reads: a change from here on signals the next look.
    watch->armed = RegNotifyChangeKeyValue(static_cast<HKEY>(Win32Registry::NativeKey(root)), TRUE,
                                           EveryChange, watch->event, TRUE) == ERROR_SUCCESS;
    return true;
}

} // namespace slidevane
