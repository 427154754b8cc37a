#include "UnavailableAutomation.h"

#include "platform/RuntimeError.h"

namespace slidevane {

std::unique_ptr<AutomationApplication>
UnavailableAutomation::GetObject(const std::string&, const std::string& className) {
    throw RuntimeError::CannotCreateObject(className);
}

std::unique_ptr<AutomationApplication>
UnavailableAutomation::CreateObject(const std::string& className) {
    throw RuntimeError::CannotCreateObject(className);
}

} // namespace slidevane
