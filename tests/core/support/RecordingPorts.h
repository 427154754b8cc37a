#pragma once

#include "platform/AutomationPort.h"
#include "platform/DialogPort.h"
#include "platform/ShellPort.h"
#include "platform/WindowPort.h"

#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

// Recording fakes of the window, dialog, shell and automation ports: they remember what each
// control shows, the order of every load and call, and can be told to fail.
namespace slidevane::testing {

class RecordingWindow : public WindowPort {
public:
    RecordingWindow();

    void LoadPicture(Control control, const std::string& path) override;
    float FormWidth() const override { return formWidth; }
    float FormHeight() const override { return formHeight; }
    void SetFormWidth(float twips) override;
    void SetFormHeight(float twips) override;
    float ControlProperty(Control control, Property property) const override;
    void SetControlProperty(Control control, Property property, float pixels) override;
    float ScaleHeight() const override { return scaleHeight; }
    void Minimize() override { ++minimized; }
    void Unload() override { ++unloaded; }

    // What a control shows: its last loaded path, or "stored" before any load.
    std::string Shows(Control control) const;
    // Loads made since the last call, as "Control=path" with the folder cut off.
    std::vector<std::string> TakeLoads();

    float scaleHeight = 288.0f;
    float formWidth = 6270.0f;
    float formHeight = 4320.0f;
    std::set<std::string> missing; // paths whose load raises error 53
    std::vector<std::string> geometryLog; // "Control.Property" in the order written
    int minimized = 0;
    int unloaded = 0;

private:
    std::map<Control, std::string> shows_;
    std::vector<std::string> loads_;
    std::array<std::array<float, 4>, ControlCount> geometry_;
};

class RecordingDialog : public DialogPort {
public:
    void MessageBox(const std::string& text, const std::string& caption) override {
        boxes.push_back({text, caption});
    }
    void Quit(int status) override { quitStatus.push_back(status); }

    struct Box {
        std::string text, caption;
    };
    std::vector<Box> boxes;
    std::vector<int> quitStatus;
};

class RecordingShell : public ShellPort {
public:
    std::intptr_t ShellExecuteA(void* owner, const char* operation, const char* file,
                                const char* parameters, const char* directory,
                                int showCommand) override;
    std::vector<std::string> calls;
    std::intptr_t result = 42;
};

// Records every automation call as text ("GetObject(,Powerpoint.Application.9)", "Add(-1)", ...)
// and fails the n-th occurrence of a named call when told to.
class ScriptedAutomation : public AutomationRuntime {
public:
    std::unique_ptr<AutomationApplication> GetObject(const std::string& pathName,
                                                     const std::string& className) override;
    std::unique_ptr<AutomationApplication> CreateObject(const std::string& className) override;

    // Fails every call named `call` (GetObject, CreateObject, Presentations, Add, ApplyTemplate,
    // Visible); `times` limits how many of them fail (-1: all).
    void FailOn(const std::string& call, int times = -1) { failures[call] = times; }
    void Record(const std::string& call);

    std::vector<std::string> calls;
    int liveObjects = 0;     // application, collection and presentation objects not yet released
    int presentations = 0;   // presentations the application holds
    std::map<std::string, int> failures;
};

} // namespace slidevane::testing
