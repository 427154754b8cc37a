#include "RecordingAutomation.h"

#include <QCursor>
#include <QGuiApplication>

namespace slidevane::test {

class RecordingAutomation::Presentation : public AutomationPresentation {
public:
    explicit Presentation(std::vector<std::string>& calls) : calls_(calls) {}
    void ApplyTemplate(const std::string& fileName) override {
        // The path arrives with the catalogue's NUL; a receiver reads it as a C string.
        calls_.push_back("ApplyTemplate " + std::string(fileName.c_str()));
    }

private:
    std::vector<std::string>& calls_;
};

class RecordingAutomation::Presentations : public AutomationPresentations {
public:
    explicit Presentations(std::vector<std::string>& calls) : calls_(calls) {}
    std::unique_ptr<AutomationPresentation> Add(int withWindow) override {
        calls_.push_back("Add " + std::to_string(withWindow));
        return std::make_unique<Presentation>(calls_);
    }

private:
    std::vector<std::string>& calls_;
};

class RecordingAutomation::Application : public AutomationApplication {
public:
    explicit Application(std::vector<std::string>& calls) : calls_(calls) {}
    std::unique_ptr<AutomationPresentations> Presentations() override {
        calls_.push_back("Presentations");
        return std::make_unique<RecordingAutomation::Presentations>(calls_);
    }
    void SetVisible(int visible) override {
        calls_.push_back("Visible " + std::to_string(visible));
    }

private:
    std::vector<std::string>& calls_;
};

std::unique_ptr<AutomationApplication>
RecordingAutomation::GetObject(const std::string& pathName, const std::string& className) {
    calls.push_back("GetObject '" + pathName + "' " + className);
    busyWhenAsked.push_back(QGuiApplication::overrideCursor() != nullptr &&
                            QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor);
    return std::make_unique<Application>(calls);
}

std::unique_ptr<AutomationApplication>
RecordingAutomation::CreateObject(const std::string& className) {
    calls.push_back("CreateObject " + className);
    busyWhenAsked.push_back(QGuiApplication::overrideCursor() != nullptr &&
                            QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor);
    return std::make_unique<Application>(calls);
}

} // namespace slidevane::test
