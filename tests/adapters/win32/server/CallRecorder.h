#pragma once

#include "adapters/win32/WindowsApi.h"

#include <string>

// The test server's memory of the test: appends every call it receives to the log file the test
// named, and fails the steps the test asked to fail. Both are read from the test prefix's registry
// (HKCU\Software\Slidevane3 Test Office) at every call, because COM starts the server with its own
// environment and a server may outlive one test.
//
// Owns: the reading of LogFile, FailStep, FailTimes and FailCode, and counting down FailTimes.
namespace slidevane::testoffice {

class CallRecorder {
public:
    static constexpr const wchar_t* SettingsKey = L"Software\\Slidevane3 Test Office";

    // Appends one line to the log.
    static void Record(const std::string& line);
    // S_OK, or the failure code when the test asked `step` to fail (and counts that failure).
    static HRESULT Outcome(const char* step);
};

} // namespace slidevane::testoffice
