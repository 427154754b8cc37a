#include "RecordingPorts.h"

#include "platform/LayoutTable.h"
#include "platform/RuntimeError.h"

#include <utility>

namespace slidevane::testing {

RecordingWindow::RecordingWindow() {
    for (Control control : AllControls) {
        ControlLayout const& layout = LayoutTable::Of(control);
        geometry_[static_cast<std::size_t>(control)] = {
            layout.left / 15.0f, layout.top / 15.0f, layout.width / 15.0f, layout.height / 15.0f};
    }
}

void RecordingWindow::LoadPicture(Control control, const std::string& path) {
    if (missing.contains(path)) {
        throw RuntimeError::FileNotFound(path);
    }
    shows_[control] = path;
    auto const cut = path.rfind('\\');
    loads_.push_back(std::string(ControlName(control)) + "=" +
                     (cut == std::string::npos ? path : path.substr(cut + 1)));
}

void RecordingWindow::SetFormWidth(float twips) {
    geometryLog.push_back("Form1.Width");
    formWidth = twips;
}

void RecordingWindow::SetFormHeight(float twips) {
    geometryLog.push_back("Form1.Height");
    formHeight = twips;
}

float RecordingWindow::ControlProperty(Control control, Property property) const {
    return geometry_[static_cast<std::size_t>(control)][static_cast<std::size_t>(property)];
}

void RecordingWindow::SetControlProperty(Control control, Property property, float pixels) {
    static constexpr const char* names[] = {"Left", "Top", "Width", "Height"};
    geometryLog.push_back(std::string(ControlName(control)) + "." +
                          names[static_cast<std::size_t>(property)]);
    geometry_[static_cast<std::size_t>(control)][static_cast<std::size_t>(property)] = pixels;
}

std::string RecordingWindow::Shows(Control control) const {
    auto const found = shows_.find(control);
    if (found == shows_.end()) {
        return "stored";
    }
    auto const cut = found->second.rfind('\\');
    return cut == std::string::npos ? found->second : found->second.substr(cut + 1);
}

std::vector<std::string> RecordingWindow::TakeLoads() {
    return std::exchange(loads_, {});
}

std::intptr_t RecordingShell::ShellExecuteA(void* owner, const char* operation, const char* file,
                                            const char* parameters, const char* directory,
                                            int showCommand) {
    calls.push_back(std::string(owner ? "owner" : "0") + "," + operation + "," + file + "," +
                    (parameters ? parameters : "null") + "," + (directory ? directory : "null") +
                    "," + std::to_string(showCommand));
    return result;
}

namespace {

class Presentation : public AutomationPresentation {
public:
    explicit Presentation(ScriptedAutomation& owner) : owner_(owner) { ++owner_.liveObjects; }
    ~Presentation() override { --owner_.liveObjects; }
    void ApplyTemplate(const std::string& fileName) override {
        owner_.Record("ApplyTemplate(" + fileName + ")");
    }

private:
    ScriptedAutomation& owner_;
};

class Presentations : public AutomationPresentations {
public:
    explicit Presentations(ScriptedAutomation& owner) : owner_(owner) { ++owner_.liveObjects; }
    ~Presentations() override { --owner_.liveObjects; }
    std::unique_ptr<AutomationPresentation> Add(int withWindow) override {
        owner_.Record("Add(" + std::to_string(withWindow) + ")");
        ++owner_.presentations;
        return std::make_unique<Presentation>(owner_);
    }

private:
    ScriptedAutomation& owner_;
};

class Application : public AutomationApplication {
public:
    explicit Application(ScriptedAutomation& owner) : owner_(owner) { ++owner_.liveObjects; }
    ~Application() override { --owner_.liveObjects; }
    std::unique_ptr<AutomationPresentations> Presentations() override {
        owner_.Record("Presentations");
        return std::make_unique<testing::Presentations>(owner_);
    }
    void SetVisible(int visible) override {
        owner_.Record("Visible(" + std::to_string(visible) + ")");
    }

private:
    ScriptedAutomation& owner_;
};

} // namespace

void ScriptedAutomation::Record(const std::string& call) {
    calls.push_back(call);
    std::string const name = call.substr(0, call.find('('));
    auto failure = failures.find(name);
    if (failure != failures.end() && failure->second != 0) {
        if (failure->second > 0) {
            --failure->second;
        }
        throw RuntimeError::Automation(name, "refused by the script");
    }
}

std::unique_ptr<AutomationApplication> ScriptedAutomation::GetObject(const std::string& pathName,
                                                                     const std::string& className) {
    Record("GetObject(" + pathName + "," + className + ")");
    return std::make_unique<Application>(*this);
}

std::unique_ptr<AutomationApplication>
ScriptedAutomation::CreateObject(const std::string& className) {
    Record("CreateObject(" + className + ")");
    return std::make_unique<Application>(*this);
}

} // namespace slidevane::testing
