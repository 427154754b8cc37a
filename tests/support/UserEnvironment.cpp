#include "UserEnvironment.h"

#include <cstring>
#include <string_view>

extern char** environ;

namespace slidevane::test {

namespace {

bool SessionVariable(std::string_view name) {
    for (std::string_view const exact :
         {"HOME", "PATH", "DISPLAY", "XAUTHORITY", "LANG", "LANGUAGE"}) {
        if (name == exact) {
            return true;
        }
    }
    return name.starts_with("LC_") || name.starts_with("XDG_");
}

} // namespace

UserEnvironment UserEnvironment::FromSession() {
    UserEnvironment session;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string_view const variable(*entry);
        std::size_t const equals = variable.find('=');
        if (equals != std::string_view::npos && SessionVariable(variable.substr(0, equals))) {
            session.Set(std::string(variable.substr(0, equals)),
                        std::string(variable.substr(equals + 1)));
        }
    }
    if (!session.Get("LANG")) {
        session.Set("LANG", "C.UTF-8");
    }
    return session;
}

UserEnvironment& UserEnvironment::Set(const std::string& name, const std::string& value) {
    variables_[name] = value;
    return *this;
}

UserEnvironment& UserEnvironment::Unset(const std::string& name) {
    variables_.erase(name);
    return *this;
}

std::optional<std::string> UserEnvironment::Get(const std::string& name) const {
    auto const found = variables_.find(name);
    if (found == variables_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::vector<std::string> UserEnvironment::Entries() const {
    std::vector<std::string> entries;
    for (const auto& [name, value] : variables_) {
        entries.push_back(name + "=" + value);
    }
    return entries;
}

} // namespace slidevane::test
