#include "OfficeProfile.h"

#include "UnoValues.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <osl/file.hxx>
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

// A path that is UTF-8 text gets the office's own URL, on which the name of a profile's pipe
// depends; one that is not keeps its bytes, which the office's conversion would lose.
TEST(FileUrl, IsTheOfficesOwnForTextAndKeepsTheBytesOfOtherNames) {
    std::string printable;
    for (char c = ' '; c <= '~'; ++c) {
        printable += c;
    }
    for (const std::string& path :
         {"/tmp/" + printable, std::string("/home/Caf\xC3\xA9 \xE2\x82\xAC"),
          std::string("/\xF0\x9D\x84\x9E/a;b")}) {
        OUString own;
        ASSERT_EQ(osl::FileBase::getFileURLFromSystemPath(uno::ToUno(path), own),
                  osl::FileBase::E_None);
        EXPECT_EQ(uno::FromUno(uno::FileUrl(path)), uno::FromUno(own)) << path;
    }
    EXPECT_EQ(uno::FromUno(uno::FileUrl("/Intro/Caf\xE9 \x80.otp")),
              "file:///Intro/Caf%E9%20%80.otp");
}

} // namespace
} // namespace slidevane::testing
