#pragma once

#include "catalogue/RegistryValue.h"
#include "platform/RegistryApi.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// What earlier reads of the registry answered, value by value, for as long as nothing below
// their root key has changed: the read protocol's status and the value it read. A failed read is
// an answer too (a missing template is looked up on every preview page).
//
// Owns: the answers and their bounds. It does not decide when they are stale (Module1 asks the
// platform's RegistryWatch) and never reads the registry itself.
namespace slidevane {

class RegistryAnswers {
public:
    static constexpr std::size_t MaxAnswers = 1024;

    struct Answer {
        std::int32_t status = 0;
        RegistryValue value;
    };

    const Answer* Find(win::HKEY root, const std::string& keyPath,
                       const std::string& valueName) const;
    void Keep(win::HKEY root, const std::string& keyPath, const std::string& valueName,
              Answer answer);
    void Forget(win::HKEY root);
    std::size_t Size() const;

private:
    struct Root {
        win::HKEY key;
        std::unordered_map<std::string, Answer> answers; // by key path, NUL, value name
    };
    static std::string Name(const std::string& keyPath, const std::string& valueName);

    std::vector<Root> roots_;
};

} // namespace slidevane
