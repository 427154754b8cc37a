#include "platform/RuntimeError.h"

namespace slidevane {

namespace {

// A path that came from the catalogue may carry its stored NUL; the report shows what precedes it.
std::string Printable(const std::string& path) {
    return path.substr(0, path.find('\0'));
}

} // namespace

RuntimeError::RuntimeError(int number, std::string description)
    : std::runtime_error("Run-time error " + std::to_string(number) + ": " + description),
      number_(number), description_(std::move(description)) {}

RuntimeError RuntimeError::InvalidArgument() {
    return {5, "Invalid procedure call or argument"};
}

RuntimeError RuntimeError::CannotPerform() {
    return {17, "Can't perform requested operation"};
}

RuntimeError RuntimeError::FileNotFound(const std::string& path) {
    return {53, "File not found: " + Printable(path)};
}

RuntimeError RuntimeError::PathNotFound(const std::string& path) {
    return {76, "Path not found: " + Printable(path)};
}

RuntimeError RuntimeError::CannotCreateObject(const std::string& className) {
    return {429, "ActiveX component can't create object: " + className};
}

RuntimeError RuntimeError::InvalidPicture(const std::string& path) {
    return {481, "Invalid picture: " + Printable(path)};
}

RuntimeError RuntimeError::Automation(const std::string& call, const std::string& message,
                                      int number) {
    return {number, "Automation error in " + call + ": " + message};
}

std::string ReportText(const RuntimeError& error) {
    return "Run-time error '" + std::to_string(error.Number()) + "':\n\n" + error.Description();
}

} // namespace slidevane
