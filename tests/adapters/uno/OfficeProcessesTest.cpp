// The ids by which offices are ended, and the lock by which runs start them: nothing that names
// this process's own group, or every process, is ever signalled; a group is recognised before
// it is; one start at a time.
#include "OfficeGroup.h"
#include "OfficeLauncher.h"
#include "OfficeStartLock.h"
#include "TestOffice.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace slidevane::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(OfficeProcesses, AProcessIdFileThatNamesNoOfficeGivesNone) {
    fs::path const file = fs::temp_directory_path() / ("pid-" + std::to_string(getpid()));
    for (const char* text : {"", "garbage", "0", "1", "-1", "-42"}) {
        std::ofstream(file) << text;
        EXPECT_EQ(TestOffice::ReadPid(file), -1) << "'" << text << "'";
    }
    std::ofstream(file) << "4242\n";
    EXPECT_EQ(TestOffice::ReadPid(file), 4242);
    fs::remove(file);
    EXPECT_EQ(TestOffice::ReadPid(file), -1) << "a missing file";
}

TEST(OfficeProcesses, AGroupIsItsLaunchersSessionAndNoOther) {
    for (pid_t const none : {-1, 0, 1}) {
        EXPECT_TRUE(OfficeGroup(none).Members().empty()) << none;
        OfficeGroup(none).Kill(); // must not reach this process or any other
    }
    // The test process's own group is not a session of its own: not an office's group.
    EXPECT_TRUE(OfficeGroup(getpgrp()).Members().empty() || getpgrp() == getsid(0));

    // A launcher that stands in for the office: a shell that runs a child, then waits.
    OfficeLauncher const launcher({"/bin/sh", "-c", "sleep 60 & wait", "sh"}, "unused");
    OfficeGroup const group(launcher.Pid());
    auto const deadline = std::chrono::steady_clock::now() + 10s;
    while (group.Members().size() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(group.Members().size(), 2u) << "the shell and its child";
    group.Kill();
    while (group.Alive() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_FALSE(group.Alive());
}

TEST(OfficeProcesses, OneRunAtATimeMayStartTheOfficeOfAPipe) {
    auto first = OfficeStartLock::TryTake("lock-test-" + std::to_string(getpid()));
    ASSERT_TRUE(first);
    EXPECT_FALSE(OfficeStartLock::TryTake("lock-test-" + std::to_string(getpid())));
    EXPECT_TRUE(OfficeStartLock::TryTake("lock-test-other-" + std::to_string(getpid())));
    first.reset();
    EXPECT_TRUE(OfficeStartLock::TryTake("lock-test-" + std::to_string(getpid())));
}

} // namespace
} // namespace slidevane::testing
