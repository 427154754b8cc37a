#pragma once

#include <string>

// What the adapter tests need of the Windows they run on: the fixture folder, a private temporary
// folder, and running a helper program (reg.exe, the test servers) to completion.
namespace slidevane::testing {

// tests/data/win32 as a Windows path, with a final backslash.
std::string TestData();
// A new empty folder under the temporary folder, with a final backslash; removed by the caller.
std::string MakeTempFolder();
void RemoveFolder(const std::string& folder);
// Runs `commandLine` and waits for it; returns its exit code, or -1 when it could not start.
int RunProgram(const std::string& commandLine);
// The whole content of a file; empty when it cannot be read.
std::string ReadFileText(const std::string& path);

} // namespace slidevane::testing
