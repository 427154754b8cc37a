#include "ServerApplication.h"

#include "ServerPresentations.h"
#include "adapters/win32/OfficeInterfaces.h"

namespace slidevane::testoffice {

ServerApplication::ServerApplication() : DualObject(office::IID_Application, "Application") {}

HRESULT ServerApplication::get_Presentations(IPresentations** presentations) {
    *presentations = nullptr;
    HRESULT const hr = Step("Presentations", "Application.Presentations");
    if (SUCCEEDED(hr)) {
        *presentations = new ServerPresentations();
    }
    return hr;
}

HRESULT ServerApplication::get_Visible(long* visible) {
    *visible = visible_;
    return S_OK;
}

HRESULT ServerApplication::put_Visible(long visible) {
    HRESULT const hr = Step("Visible", "Application.Visible=" + std::to_string(visible));
    if (SUCCEEDED(hr)) {
        visible_ = visible;
    }
    return hr;
}

} // namespace slidevane::testoffice
