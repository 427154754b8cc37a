#pragma once

#include "catalogue/RegistryAnswers.h"
#include "catalogue/RegistryValue.h"
#include "platform/RegistryApi.h"
#include "platform/RegistryWatch.h"

#include <string>
#include <vector>

// The registry routines every catalogue read goes through: one key opened, one value read, the
// key closed again. Nothing is ever written, and every read answers what the registry holds at
// the moment of the event that asks: a value changed between two pointer moves is read at the
// next one.
//
// Where the platform can watch the registry (RegistryWatch), a read that repeats an earlier one
// is answered from what that one read, after one check per event that nothing below the root
// key has changed since; without a watch every read goes to the registry.
//
// Owns: the read protocol (size query, typed second query, error 17) and the answers kept. It
// does not own the registry itself; that is the platform's RegistryApi. Keys are opened for
// reading only, as the program never writes and a standard user is refused write rights on the
// machine's keys.
namespace slidevane {

class Module1 {
public:
    // A value longer than this is read afresh every time rather than kept.
    static constexpr std::size_t MaxKeptBytes = 64 * 1024;

    explicit Module1(RegistryApi& registry, win::REGSAM access = win::KEY_READ,
                     RegistryWatch* watch = nullptr);

    // While one lives, the reads are those of one event: the registry is checked for changes at
    // most once for each root key. Outside any event every read checks.
    class EventScope {
    public:
        explicit EventScope(Module1& module1);
        ~EventScope();
        EventScope(const EventScope&) = delete;
        EventScope& operator=(const EventScope&) = delete;

    private:
        Module1& module1_;
        bool outer_;
    };

    // Reads one value of an open key into `value`. Returns 0 when it was read, the platform's
    // status of a failed query, or -1 for a type the reader does not take. Never throws.
    std::int32_t ReadRegistryValue(win::HKEY key, const std::string& valueName,
                                   RegistryValue& value);

    // Opens `keyPath` below `root`, reads `valueName` and closes the key. Throws error 17 when
    // the value is not read.
    RegistryValue GetRegistryString(const std::string& keyPath, const std::string& valueName,
                                    win::HKEY root);

private:
    // The read protocol itself: open, read, close.
    std::int32_t ReadFresh(const std::string& keyPath, const std::string& valueName, win::HKEY root,
                           RegistryValue& value);
    bool Checked(win::HKEY root) const;

    RegistryApi& registry_;
    win::REGSAM access_;
    RegistryWatch* watch_;
    RegistryAnswers answers_;
    bool inEvent_ = false;
    std::vector<win::HKEY> checked_; // roots checked in the current event
};

} // namespace slidevane
