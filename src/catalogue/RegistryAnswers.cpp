#include "catalogue/RegistryAnswers.h"

#include <algorithm>

namespace slidevane {

std::string RegistryAnswers::Name(const std::string& keyPath, const std::string& valueName) {
    std::string name;
    name.reserve(keyPath.size() + 1 + valueName.size());
    name.append(keyPath).push_back('\0');
    name.append(valueName);
    return name;
}

const RegistryAnswers::Answer* RegistryAnswers::Find(win::HKEY root, const std::string& keyPath,
                                                     const std::string& valueName) const {
    for (Root const& known : roots_) {
        if (known.key == root) {
            auto const found = known.answers.find(Name(keyPath, valueName));
            return found != known.answers.end() ? &found->second : nullptr;
        }
    }
    return nullptr;
}

void RegistryAnswers::Keep(win::HKEY root, const std::string& keyPath, const std::string& valueName,
                           Answer answer) {
    if (Size() >= MaxAnswers) {
        roots_.clear(); // the program reads a few dozen values: this is only a bound
    }
    auto known = std::find_if(roots_.begin(), roots_.end(),
                              [root](const Root& candidate) { return candidate.key == root; });
    if (known == roots_.end()) {
        known = roots_.insert(roots_.end(), Root{root, {}});
    }
    known->answers.insert_or_assign(Name(keyPath, valueName), std::move(answer));
}

void RegistryAnswers::Forget(win::HKEY root) {
    std::erase_if(roots_, [root](const Root& known) { return known.key == root; });
}

std::size_t RegistryAnswers::Size() const {
    std::size_t size = 0;
    for (Root const& known : roots_) {
        size += known.answers.size();
    }
    return size;
}

} // namespace slidevane
