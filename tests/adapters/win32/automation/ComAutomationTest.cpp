#include "FakeRegistry.h"
#include "RecordingPorts.h"
#include "WineHost.h"
#include "platform/RuntimeError.h"
#include "shell/Form1.h"

// After the core: <windows.h> defines macros named like the core's registry constants.
#include "adapters/win32/ComAutomationRuntime.h"
#include "adapters/win32/Win32Shell.h"
#include "adapters/win32/WindowsApi.h"

#include <gtest/gtest.h>
#include <sstream>
#include <vector>

using namespace slidevane;
using namespace slidevane::testing;

namespace {

constexpr const char* Settings = "Software\\Slidevane3 Test Office";
constexpr DWORD FailCode = 0x80048240;

void SetSetting(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, Settings, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void SetText(const char* name, const std::string& text) {
    SetSetting(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void SetNumber(const char* name, DWORD number) {
    SetSetting(name, REG_DWORD, &number, sizeof number);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// The core's Form1 over a catalogue in memory and the real COM runtime, talking to the test
// automation server (a separate process started by COM) under the application's class names.
class ComAutomationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(RunProgram("\"" SLIDEVANE3_TEST_OFFICE_SERVER "\" /RegServer"), 0);
    }

    ComAutomationTest() : folder(MakeTempFolder()), log(folder + "calls.log") {
        SetText("LogFile", log);
        SetText("FailStep", "");
        SetNumber("FailTimes", 0);
        SetNumber("FailCode", FailCode);
        std::string const key = "SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0";
        registry.SetText(key, "PresentPath", "C:\\Pack");
        for (int c = 0; c < 10; ++c) {
            registry.SetText(key + "\\INDEX", std::to_string(c), "Title " + std::to_string(c));
        }
        registry.SetText(key + "\\TEMPLATE\\2", "1", "Blue.pot");
        registry.SetText("Software\\Microsoft\\Office\\9.0\\PowerPoint\\InstallRoot", "Path",
                         "C:\\Office\\");
    }
    ~ComAutomationTest() override {
        SetText("LogFile", "");
        RemoveFolder(folder);
    }

    void FailStep(const std::string& step, DWORD times) {
        SetText("FailStep", step);
        SetNumber("FailTimes", times);
    }

    // Start-up, then a double-click on the preview pane: the template of category 2, number 1.
    void OpenTemplate() {
        ASSERT_TRUE(form.Form_Load());
        form.Dispatch(Control::MainDisBackGnd, Event::DblClick);
    }

    std::vector<std::string> Calls() const { return Lines(ReadFileText(log)); }

    std::string folder;
    std::string log;
    FakeRegistry registry;
    RecordingWindow window;
    RecordingDialog dialog;
    RecordingShell shell;
    ComAutomationRuntime automation;
    Form1 form{Form1Ports{registry, window, dialog, shell, automation}};
};

TEST_F(ComAutomationTest, OpeningATemplateCallsTheApplicationInOrderAndReleasesEverything) {
    OpenTemplate();
    EXPECT_TRUE(dialog.boxes.empty());
    // The collection is released as soon as Add has returned, before the template is applied.
    std::vector<std::string> expected = {
        "Application.new",
        "Application.Presentations",
        "Presentations.Add(-1)",
        "Presentations.released",
        "Presentation.ApplyTemplate(C:\\Pack\\TEMPLATE\\Blue.pot\\0)",
        "Application.Visible=-1",
        "Presentation.released",
        "Application.released"};
    EXPECT_EQ(Calls(), expected);
}

TEST_F(ComAutomationTest, AFailedStepOfTheFirstAttemptLeadsToTheSecond) {
    struct Case {
        const char* step;
        std::vector<std::string> firstAttempt;
    };
    ASSERT_TRUE(form.Form_Load());
    // The first attempt's application is let go only when the second one takes its place.
    std::vector<Case> const cases = {
        {"Create", {"Application.new failed", "Application.new"}},
        {"Presentations",
         {"Application.new", "Application.Presentations failed", "Application.new",
          "Application.released"}},
        {"Add",
         {"Application.new", "Application.Presentations", "Presentations.Add(-1) failed",
          "Presentations.released", "Application.new", "Application.released"}},
        {"ApplyTemplate",
         {"Application.new", "Application.Presentations", "Presentations.Add(-1)",
          "Presentations.released",
          "Presentation.ApplyTemplate(C:\\Pack\\TEMPLATE\\Blue.pot\\0) failed",
          "Presentation.released", "Application.new", "Application.released"}},
        {"Visible",
         {"Application.new", "Application.Presentations", "Presentations.Add(-1)",
          "Presentations.released", "Presentation.ApplyTemplate(C:\\Pack\\TEMPLATE\\Blue.pot\\0)",
          "Application.Visible=-1 failed", "Presentation.released", "Application.new",
          "Application.released"}},
    };
    std::vector<std::string> const secondAttempt = {
        "Application.Presentations", "Presentations.Add(-1)",
        "Presentations.released",    "Presentation.ApplyTemplate(C:\\Pack\\TEMPLATE\\Blue.pot\\0)",
        "Application.Visible=-1",    "Presentation.released",
        "Application.released"};
    for (const Case& one : cases) {
        SCOPED_TRACE(one.step);
        DeleteFileA(log.c_str());
        FailStep(one.step, 1);
        form.Dispatch(Control::MainDisBackGnd, Event::DblClick);
        ASSERT_FALSE(form.Ended());
        std::vector<std::string> expected = one.firstAttempt;
        expected.insert(expected.end(), secondAttempt.begin(), secondAttempt.end());
        EXPECT_EQ(Calls(), expected);
        EXPECT_TRUE(dialog.boxes.empty());
    }
}

TEST_F(ComAutomationTest, AFailureOfBothAttemptsIsReportedWithTheApplicationsCode) {
    FailStep("ApplyTemplate", 2);
    OpenTemplate();
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].caption, "Slidevane3");
    EXPECT_EQ(dialog.boxes[0].text,
              "Run-time error '" + std::to_string(static_cast<std::int32_t>(FailCode)) +
                  "':\n\nAutomation error in _Presentation.ApplyTemplate: Test Office refused "
                  "ApplyTemplate");
    EXPECT_EQ(dialog.quitStatus, std::vector<int>{1});
    // Both attempts' objects were released although the report ended the handler.
    std::vector<std::string> const calls = Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Application.new"), 2);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Application.released"), 2);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Presentation.released"), 2);
}

TEST_F(ComAutomationTest, ACreationRefusedTwiceIsReportedWithItsCode) {
    FailStep("Create", 2);
    OpenTemplate();
    ASSERT_EQ(dialog.boxes.size(), 1u);
    EXPECT_EQ(dialog.boxes[0].text.rfind("Run-time error '" +
                                             std::to_string(static_cast<std::int32_t>(FailCode)) +
                                             "':\n\nAutomation error in CreateObject: ",
                                         0),
              0u)
        << dialog.boxes[0].text;
}

TEST_F(ComAutomationTest, AnUnknownClassNameCannotCreateAnObject) {
    for (bool create : {false, true}) {
        try {
            if (create) {
                automation.CreateObject("Slidevane3.NoSuchApplication");
            } else {
                automation.GetObject("", "Slidevane3.NoSuchApplication");
            }
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), 429);
            EXPECT_EQ(error.Description(),
                      "ActiveX component can't create object: Slidevane3.NoSuchApplication");
        }
    }
}

TEST_F(ComAutomationTest, TheWebAddressGoesToTheRegisteredBrowser) {
    ASSERT_EQ(RunProgram("\"" SLIDEVANE3_URL_RECORDER "\" /Register"), 0);
    std::string const urls = folder + "urls.log";
    SetText("UrlLog", urls);
    Win32Shell shell32;
    std::intptr_t const result =
        shell32.ShellExecuteA(nullptr, "open", "http://www.norvale.example/", nullptr, nullptr, 5);
    EXPECT_GT(result, 32);
    // The browser runs on its own; wait for it to have written.
    std::string seen;
    for (int i = 0; i < 100 && seen.empty(); ++i) {
        Sleep(100);
        seen = ReadFileText(urls);
    }
    EXPECT_EQ(Lines(seen), std::vector<std::string>{"http://www.norvale.example/"});
}

} // namespace
