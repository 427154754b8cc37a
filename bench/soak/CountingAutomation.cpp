#include "CountingAutomation.h"

namespace slidevane::bench {

class CountingAutomation::Presentation : public AutomationPresentation {
public:
    explicit Presentation(CountingAutomation& counts) : counts_(counts) {}
    void ApplyTemplate(const std::string&) override { ++counts_.applied; }

private:
    CountingAutomation& counts_;
};

class CountingAutomation::Presentations : public AutomationPresentations {
public:
    explicit Presentations(CountingAutomation& counts) : counts_(counts) {}
    std::unique_ptr<AutomationPresentation> Add(int) override {
        return std::make_unique<Presentation>(counts_);
    }

private:
    CountingAutomation& counts_;
};

class CountingAutomation::Application : public AutomationApplication {
public:
    explicit Application(CountingAutomation& counts) : counts_(counts) {}
    std::unique_ptr<AutomationPresentations> Presentations() override {
        return std::make_unique<CountingAutomation::Presentations>(counts_);
    }
    void SetVisible(int) override { ++counts_.shown; }

private:
    CountingAutomation& counts_;
};

std::unique_ptr<AutomationApplication> CountingAutomation::GetObject(const std::string&,
                                                                     const std::string&) {
    return std::make_unique<Application>(*this);
}

std::unique_ptr<AutomationApplication> CountingAutomation::CreateObject(const std::string&) {
    return std::make_unique<Application>(*this);
}

} // namespace slidevane::bench
