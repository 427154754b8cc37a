// The program's command line and environment: whether the office is started ahead.
#include "ProgramOptions.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace slidevane {
namespace {

struct Case {
    std::vector<const char*> arguments;
    const char* environment; // SLIDEVANE3_OFFICE_AHEAD, or nullptr when unset
    bool officeAhead;
    bool help;
    bool error;
};

TEST(ProgramOptions, TheCommandLineWinsOverTheEnvironmentAndStrangeOptionsAreRefused) {
    std::vector<Case> const cases{
        {{}, nullptr, true, false, false},
        {{}, "0", false, false, false},
        {{}, "off", false, false, false},
        {{}, "no", false, false, false},
        {{}, "1", true, false, false},
        {{}, "", true, false, false},
        {{"--no-office-ahead"}, nullptr, false, false, false},
        {{"--office-ahead"}, "0", true, false, false},
        {{"--no-office-ahead"}, "1", false, false, false},
        {{"--help"}, nullptr, true, true, false},
        {{"--no-office-ahed"}, nullptr, true, false, true},
        {{"template.otp"}, nullptr, true, false, true},
    };
    for (const Case& c : cases) {
        std::string const shown = ::testing::PrintToString(
            std::vector<std::string>(c.arguments.begin(), c.arguments.end()));
        SCOPED_TRACE(shown + " with " + (c.environment ? c.environment : "(unset)"));
        ProgramOptions const options = ProgramOptions::Parse(static_cast<int>(c.arguments.size()),
                                                             c.arguments.data(), c.environment);
        EXPECT_EQ(options.officeAhead, c.officeAhead);
        EXPECT_EQ(options.help, c.help);
        EXPECT_EQ(options.error.has_value(), c.error);
    }
}

} // namespace
} // namespace slidevane
