#pragma once

#include <memory>
#include <string>

// The presentation application's automation object model, as far as the launcher uses it:
// obtain the application by class name in two ways, its Presentations collection, Add,
// ApplyTemplate and Visible. Every object is released when its owner goes out of scope.
//
// Owns: the contract only. Each operation throws RuntimeError when the application refuses it.
namespace slidevane {

constexpr int msoTrue = -1;
constexpr int msoFalse = 0;

class AutomationPresentation {
public:
    virtual ~AutomationPresentation() = default;
    virtual void ApplyTemplate(const std::string& fileName) = 0;
};

class AutomationPresentations {
public:
    virtual ~AutomationPresentations() = default;
    virtual std::unique_ptr<AutomationPresentation> Add(int withWindow) = 0;
};

class AutomationApplication {
public:
    virtual ~AutomationApplication() = default;
    virtual std::unique_ptr<AutomationPresentations> Presentations() = 0;
    virtual void SetVisible(int visible) = 0;
};

class AutomationRuntime {
public:
    virtual ~AutomationRuntime() = default;
    // GetObject(pathName, className) of the automation runtime, asked for _Application.
    virtual std::unique_ptr<AutomationApplication> GetObject(const std::string& pathName,
                                                             const std::string& className) = 0;
    // CreateObject(className) with no server name, asked for _Application.
    virtual std::unique_ptr<AutomationApplication> CreateObject(const std::string& className) = 0;
};

} // namespace slidevane
