#pragma once

#include <stdexcept>
#include <string>

// A numbered run-time error, raised where the system raises one and trapped only where it traps.
//
// Owns: the number and the description shown in the error report. It does not decide what a
// failure means to the user; the dispatch point reports it and ends the program.
namespace slidevane {

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, std::string description);

    int Number() const { return number_; }
    const std::string& Description() const { return description_; }

    // The standard descriptions of the numbers the system raises.
    static RuntimeError InvalidArgument();                                // 5
    static RuntimeError CannotPerform();                                  // 17
    static RuntimeError FileNotFound(const std::string& path);            // 53
    static RuntimeError PathNotFound(const std::string& path);            // 76
    static RuntimeError CannotCreateObject(const std::string& className); // 429
    static RuntimeError InvalidPicture(const std::string& path);          // 481
    // The office refused an automation call; `number` is the failure code it gave (440 when none).
    static RuntimeError Automation(const std::string& call, const std::string& message,
                                   int number = 440);

private:
    int number_;
    std::string description_;
};

// The text of the report box: "Run-time error 'N':", a blank line, the description.
std::string ReportText(const RuntimeError& error);

} // namespace slidevane
