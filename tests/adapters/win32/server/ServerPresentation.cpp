#include "ServerPresentation.h"

#include "adapters/win32/OfficeInterfaces.h"

namespace slidevane::testoffice {

ServerPresentation::ServerPresentation() : DualObject(office::IID_Presentation, "Presentation") {}

HRESULT ServerPresentation::ApplyTemplate(BSTR fileName) {
    // The whole string as received, an embedded NUL shown as \0.
    std::string text;
    for (UINT i = 0; fileName != nullptr && i < SysStringLen(fileName); ++i) {
        wchar_t const c = fileName[i];
        text += c == L'\0' ? std::string("\\0") : std::string(1, static_cast<char>(c));
    }
    return Step("ApplyTemplate", "Presentation.ApplyTemplate(" + text + ")");
}

} // namespace slidevane::testoffice
