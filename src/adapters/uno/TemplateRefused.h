#pragma once

#include "platform/RuntimeError.h"

#include <string>

// The office cannot open a template as a presentation: damaged, protected by a password, not a
// presentation, not a file at all. The report names the template and says why, in the same
// words wherever a template is opened; the parts stay apart for callers that word it their way.
//
// Owns: the template's path and the reason. It does not decide whether the failure ends
// anything.
namespace slidevane {

class TemplateRefused : public RuntimeError {
public:
    TemplateRefused(std::string nativePath, std::string why);

    const std::string& NativePath() const { return nativePath_; }
    const std::string& Why() const { return why_; }

private:
    std::string nativePath_;
    std::string why_;
};

} // namespace slidevane
