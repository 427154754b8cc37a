#pragma once

#include "FakeRegistry.h"
#include "RecordingPorts.h"
#include "shell/Form1.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// A Form1 over the recording fakes, with a catalogue like a real install's: install folder
// C:\Pack, the ten sample titles, templates 1 and 3 of category 2 (not 2), one template in
// category 5 and all three elsewhere, and the presentation application's 9.0 install record.
namespace slidevane::testing {

inline constexpr const char* CatalogueKey = "SOFTWARE\\Norvale Inc.\\Slidevane3\\1.0";
inline constexpr const char* Titles[] = {
    "Celebration",   "Financial Review", "Announcement",   "Lecture", "Introduction",
    "Status Review", "Training",         "Brain Storming", "Report",  "Meeting"};

class CoreRig {
public:
    CoreRig() {
        registry.SetText(CatalogueKey, "PresentPath", "C:\\Pack");
        for (int c = 0; c < 10; ++c) {
            registry.SetText(std::string(CatalogueKey) + "\\INDEX", std::to_string(c), Titles[c]);
            for (int n = 1; n <= 3; ++n) {
                bool const present = (c == 2) ? n != 2 : (c == 5) ? n == 1 : true;
                if (present) {
                    registry.SetText(std::string(CatalogueKey) + "\\TEMPLATE\\" + std::to_string(c),
                                     std::to_string(n),
                                     "t" + std::to_string(c) + "-" + std::to_string(n) + ".otp");
                }
            }
        }
        registry.SetText("Software\\Microsoft\\Office\\9.0\\PowerPoint\\InstallRoot", "Path",
                         "C:\\Office\\");
    }

    Form1& Form() {
        if (!form_) {
            form_ = std::make_unique<Form1>(
                Form1Ports{registry, window, dialog, shell, automation, registryWatch});
        }
        return *form_;
    }

    // Runs start-up and forgets the loads it made.
    Form1& Started() {
        EXPECT_TRUE(Form().Form_Load());
        window.TakeLoads();
        return *form_;
    }

    static std::string UI(const std::string& name) { return "C:\\Pack\\UI\\" + name; }

    FakeRegistry registry;
    RecordingWindow window;
    RecordingDialog dialog;
    RecordingShell shell;
    ScriptedAutomation automation;
    RegistryWatch* registryWatch = nullptr; // set before Form() to give the platform's watch

private:
    std::unique_ptr<Form1> form_;
};

class CoreFixture : public ::testing::Test, public CoreRig {};

} // namespace slidevane::testing
