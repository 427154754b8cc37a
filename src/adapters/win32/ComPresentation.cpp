#include "adapters/win32/ComPresentation.h"

#include "adapters/win32/AnsiText.h"

#include <oleauto.h>

namespace slidevane {

ComPresentation::ComPresentation(DispatchObject presentation)
    : presentation_(std::move(presentation)) {}

void ComPresentation::ApplyTemplate(const std::string& fileName) {
    // Every character goes into the string argument, a stored NUL included, as the automation
    // runtime passes a string with an embedded NUL.
    std::wstring const wide = WideFromAnsi(fileName);
    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    try {
        presentation_.CallMethod("ApplyTemplate", &argument, 1);
    } catch (...) {
        VariantClear(&argument);
        throw;
    }
    VariantClear(&argument);
}

} // namespace slidevane
