// The program's local UNO runtime has the office's types whatever the environment it was
// started with holds and whatever touched the runtime's settings first: each case runs a probe
// program as a desktop session starts it.
#include "UserProgram.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace slidevane::test {
namespace {

struct Case {
    const char* name;
    bool profileFirst;
    std::optional<std::string> ureBootstrap; // as the user set it, if at all
    const char* expected;                    // the start of the probe's last line
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class LocalUnoRuntime : public ::testing::TestWithParam<Case> {};

TEST_P(LocalUnoRuntime, HasTheOfficeTypesOrSaysWhyNot) {
    Case const& c = GetParam();
    UserEnvironment environment = UserEnvironment::FromSession();
    if (c.ureBootstrap) {
        environment.Set("URE_BOOTSTRAP", *c.ureBootstrap);
    }
    std::vector<std::string> line{SLIDEVANE3_RUNTIME_PROBE};
    if (c.profileFirst) {
        line.push_back("--profile-first");
    }
    UserProgram::Result const run = UserProgram::Run(line, environment, std::chrono::seconds(60));
    ASSERT_TRUE(run.outcome.exited) << run.outcome.Describe() << "\n" << run.errors;
    std::string output = run.output;
    while (!output.empty() && output.back() == '\n') {
        output.pop_back();
    }
    std::string const last = output.substr(output.rfind('\n') + 1);
    EXPECT_EQ(last.substr(0, std::string(c.expected).size()), c.expected) << run.output;
    EXPECT_EQ(run.outcome.code, std::string(c.expected) == "types" ? 0 : 1);
}

std::string const Office = SLIDEVANE3_OFFICE_PROGRAM;

INSTANTIATE_TEST_SUITE_P(
    WhateverTheSessionHolds, LocalUnoRuntime,
    ::testing::Values(
        Case{"NothingSet", false, std::nullopt, "types"},
        Case{"ProfileReadFirst", true, std::nullopt, "types"},
        Case{"UsersOwnPathname", true, "vnd.sun.star.pathname:" + Office + "/fundamentalrc",
             "types"},
        Case{"UsersOwnUrl", false, "file://" + Office + "/fundamentalrc", "types"},
        Case{"UsersFileMissing", true, "vnd.sun.star.pathname:/nonexistent/fundamentalrc",
             "Automation error in connect: the office's bootstrap file cannot be read from "
             "file:///nonexistent/fundamentalrc"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
} // namespace slidevane::test
