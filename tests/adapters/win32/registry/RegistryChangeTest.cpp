// Catalogue reads through advapi32 with the registry's own change notification: an unchanged
// registry costs one look per event and no registry call, and a value changed between two
// pointer moves, by this program or another, is read at the next move.
#include "KeyRedirect.h"
#include "RecordingPorts.h"
#include "WineHost.h"
#include "shell/Form1.h"

// After the core: <windows.h> defines macros named like the core's registry constants.
#include "adapters/win32/Win32Registry.h"
#include "adapters/win32/Win32RegistryWatch.h"
#include "adapters/win32/WindowsApi.h"

#include <gtest/gtest.h>

using namespace slidevane;
using namespace slidevane::testing;

namespace {

// A catalogue of this process's own, in the 32-bit view where the pack's installer writes.
class RegistryChangeTest : public ::testing::Test {
protected:
    RegistryChangeTest()
        : key("SOFTWARE\\Slidevane3 Tests\\Moves-" + std::to_string(GetCurrentProcessId()) + "\\"),
          redirect(registry, Catalogue::CatalogueKey, key),
          form(Form1Ports{redirect, window, dialog, shell, automation, &watch}) {
        Write("", "PresentPath", "C:\\Pack");
        char const* titles[] = {
            "Celebration",   "Financial Review", "Announcement",   "Lecture", "Introduction",
            "Status Review", "Training",         "Brain Storming", "Report",  "Meeting"};
        for (int c = 0; c < 10; ++c) {
            Write("INDEX", std::to_string(c), titles[c]);
        }
        Write("TEMPLATE\\2", "1", "announcement.pot");
        // Whether the prefix knows the presentation application does not matter here.
        form.Form_Load();
        window.TakeLoads();
        dialog.boxes.clear();
    }
    ~RegistryChangeTest() override {
        ::HKEY tests = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Slidevane3 Tests", 0,
                            KEY_ALL_ACCESS | KEY_WOW64_32KEY, &tests) == ERROR_SUCCESS) {
            std::string const own = key.substr(key.find("Moves-"));
            RegDeleteTreeA(tests, own.substr(0, own.size() - 1).c_str());
            RegCloseKey(tests);
        }
    }

    void Write(const std::string& below, const std::string& name, const std::string& text) {
        ::HKEY written = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (key + below).c_str(), 0, nullptr, 0,
                                  KEY_WRITE | KEY_WOW64_32KEY, nullptr, &written, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(written, name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(written);
    }

    // Registry keys opened by one pointer move.
    int OpensOfAMoveOver(Control control) {
        int const before = redirect.opens;
        form.Dispatch(control, Event::MouseMove);
        return redirect.opens - before;
    }

    std::string key;
    Win32Registry registry;
    KeyRedirect redirect;
    Win32RegistryWatch watch;
    RecordingWindow window;
    RecordingDialog dialog;
    RecordingShell shell;
    ScriptedAutomation automation;
    Form1 form;
};

TEST_F(RegistryChangeTest, AnUnchangedRegistryCostsNoRegistryCallAtTheNextMove) {
    OpensOfAMoveOver(Control::Button5);
    EXPECT_EQ(window.Shows(Control::Button1), "b_Celebration-a.gif");
    // Other tests of the run may write the prefix's registry meanwhile: then a move reads again,
    // which is also right. Most moves find it unchanged.
    int quiet = 0;
    for (int i = 0; i < 10; ++i) {
        quiet += OpensOfAMoveOver(i % 2 ? Control::Button6 : Control::Button7) == 0 ? 1 : 0;
    }
    EXPECT_GE(quiet, 5);
    EXPECT_EQ(redirect.openHandles, 0);
}

TEST_F(RegistryChangeTest, AValueChangedBetweenTwoMovesIsReadAtTheNextMove) {
    form.Dispatch(Control::Button5, Event::MouseMove);
    EXPECT_EQ(window.Shows(Control::Button1), "b_Celebration-a.gif");

    // Written by this program...
    Write("INDEX", "0", "Jubilee");
    form.Dispatch(Control::Button6, Event::MouseMove);
    EXPECT_EQ(window.Shows(Control::Button1), "b_Jubilee-a.gif");

    // ...by another program...
    std::string const index = "HKLM\\" + key + "INDEX";
    ASSERT_EQ(RunProgram("reg.exe add \"" + index + "\" /v 0 /d Gala /f /reg:32"), 0);
    form.Dispatch(Control::Button7, Event::MouseMove);
    EXPECT_EQ(window.Shows(Control::Button1), "b_Gala-a.gif");

    // ...and the whole key deleted and made again, above the value read.
    ASSERT_EQ(RunProgram("reg.exe delete \"" + index + "\" /f /reg:32"), 0);
    Write("INDEX", "0", "Festival");
    for (int c = 1; c < 10; ++c) {
        Write("INDEX", std::to_string(c), "Other");
    }
    form.Dispatch(Control::Button8, Event::MouseMove);
    EXPECT_EQ(window.Shows(Control::Button1), "b_Festival-a.gif");
    EXPECT_EQ(window.Shows(Control::Button2), "b_Other-a.gif");
    EXPECT_TRUE(dialog.boxes.empty());
}

} // namespace
