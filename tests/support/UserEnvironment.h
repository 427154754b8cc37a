#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// The environment a desktop session hands a program it starts: the session's HOME, PATH,
// display, locale and XDG folders, and what a test sets on purpose. Nothing else of the test
// process reaches the program; a test process carries variables a user never has (those the
// office runtime sets for itself, the test runner's own), and a program that works only with
// them fails its users.
//
// Owns: the list of variables. It starts nothing.
namespace slidevane::test {

class UserEnvironment {
public:
    // The variables of this process that a session gives every program: HOME, PATH, DISPLAY,
    // XAUTHORITY, LANG, LANGUAGE, LC_* and XDG_*. LANG is C.UTF-8 where this process has none.
    static UserEnvironment FromSession();

    UserEnvironment& Set(const std::string& name, const std::string& value);
    UserEnvironment& Unset(const std::string& name);
    std::optional<std::string> Get(const std::string& name) const;

    // NAME=value, one per variable, in name order.
    std::vector<std::string> Entries() const;

private:
    std::map<std::string, std::string> variables_;
};

} // namespace slidevane::test
