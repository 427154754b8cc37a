#include "OfficeProfile.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace slidevane::testing {
namespace {

// Sets or clears an environment variable for the life of this object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
        if (char const* old = std::getenv(name)) {
            old_ = old;
        }
        Set(value);
    }
    ~ScopedVariable() { Set(old_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void Set(const std::optional<std::string>& value) {
        if (value) {
            setenv(name_, value->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

    const char* name_;
    std::optional<std::string> old_;
};

const std::vector<std::string> Launcher{"soffice"};

TEST(OfficeProfile, TheHomeFolderDecidesTheProfileAndThePipe) {
    ScopedVariable const noProfile("UserInstallation", std::nullopt);
    ScopedVariable const noConfig("XDG_CONFIG_HOME", std::nullopt);
    std::string first;
    {
        ScopedVariable const home("HOME", "/tmp");
        EXPECT_EQ(OfficeProfile::UserInstallation(Launcher), "file:///tmp/.config/libreoffice/4");
        first = OfficeProfile::PipeName(Launcher);
        EXPECT_EQ(OfficeProfile::PipeName(Launcher), first) << "the name must be stable";
    }
    {
        ScopedVariable const home("HOME", "/");
        EXPECT_EQ(OfficeProfile::UserInstallation(Launcher), "file:///.config/libreoffice/4");
        EXPECT_NE(OfficeProfile::PipeName(Launcher), first)
            << "another HOME, another office profile: another pipe";
    }
    EXPECT_EQ(first.rfind("slidevane3_", 0), 0u) << first;
    EXPECT_EQ(first.size(), std::string("slidevane3_").size() + 32) << first;
    EXPECT_EQ(first.find_first_not_of("slidevane3_0123456789abcdef"), std::string::npos) << first;
}

TEST(OfficeProfile, TheOfficesOwnSettingsOfTheProfileComeFirst) {
    ScopedVariable const home("HOME", "/tmp");
    {
        // Taken only when the folder exists, as the office's own library does.
        ScopedVariable const config("XDG_CONFIG_HOME", "/usr");
        EXPECT_EQ(OfficeProfile::UserInstallation(Launcher), "file:///usr/libreoffice/4");
    }
    {
        ScopedVariable const config("XDG_CONFIG_HOME", "/nonexistent/config");
        EXPECT_EQ(OfficeProfile::UserInstallation(Launcher), "file:///tmp/.config/libreoffice/4");
    }
    ScopedVariable const profile("UserInstallation", "file:///srv/profiles/a");
    EXPECT_EQ(OfficeProfile::UserInstallation(Launcher), "file:///srv/profiles/a");
    // An argument of the launch beats the environment, and the last one counts.
    std::vector<std::string> const withArguments{"soffice", "-env:UserInstallation=file:///x",
                                                 "--headless",
                                                 "-env:UserInstallation=file:///srv/profiles/b"};
    EXPECT_EQ(OfficeProfile::UserInstallation(withArguments), "file:///srv/profiles/b");
    EXPECT_NE(OfficeProfile::PipeName(withArguments), OfficeProfile::PipeName(Launcher));
}

} // namespace
} // namespace slidevane::testing
