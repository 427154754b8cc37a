#include "RenameFault.h"

#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <unistd.h>

namespace slidevane::test {

namespace {

bool armed = false;
bool inAction = false;
int count = 0;
int killAfter = 0;
int before = 0;
std::function<void()> action;

template <typename Function> Function* System(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

template <typename Call> int Counted(Call call) {
    if (!armed || inAction) {
        return call();
    }
    ++count;
    if (count == before && action) {
        inAction = true;
        action();
        inAction = false;
    }
    int const result = call();
    if (count == killAfter) {
        kill(getpid(), SIGKILL);
    }
    return result;
}

} // namespace

void RenameFault::KillAfter(int nth) {
    Disarm();
    killAfter = nth;
    armed = true;
}

void RenameFault::Before(int nth, std::function<void()> what) {
    Disarm();
    before = nth;
    action = std::move(what);
    armed = true;
}

void RenameFault::Disarm() {
    armed = false;
    count = 0;
    killAfter = 0;
    before = 0;
    action = nullptr;
}

int RenameFault::Count() {
    return count;
}

} // namespace slidevane::test

using slidevane::test::Counted;

extern "C" int rename(const char* from, const char* to) noexcept {
    static auto* const original = slidevane::test::System<int(const char*, const char*)>("rename");
    return Counted([&] { return original(from, to); });
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                         unsigned int flags) noexcept {
    static auto* const original =
        slidevane::test::System<int(int, const char*, int, const char*, unsigned int)>("renameat2");
    return Counted([&] { return original(fromFolder, from, toFolder, to, flags); });
}
