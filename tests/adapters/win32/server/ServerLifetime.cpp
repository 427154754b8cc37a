#include "ServerLifetime.h"

#include "adapters/win32/WindowsApi.h"

namespace slidevane::testoffice {

namespace {

long held = 0;
ULONGLONG idleSince = GetTickCount64();

} // namespace

void ServerLifetime::Acquire() {
    ++held;
}

void ServerLifetime::Release() {
    if (--held == 0) {
        idleSince = GetTickCount64();
    }
}

void ServerLifetime::Touch() { idleSince = GetTickCount64(); }

bool ServerLifetime::IdleFor(unsigned long idleMilliseconds) {
    return held == 0 && GetTickCount64() - idleSince >= idleMilliseconds;
}

} // namespace slidevane::testoffice
