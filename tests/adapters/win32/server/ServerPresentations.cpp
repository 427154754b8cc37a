#include "ServerPresentations.h"

#include "ServerPresentation.h"
#include "adapters/win32/OfficeInterfaces.h"

namespace slidevane::testoffice {

ServerPresentations::ServerPresentations()
    : DualObject(office::IID_Presentations, "Presentations") {}

HRESULT ServerPresentations::Add(long withWindow, IPresentation** added) {
    *added = nullptr;
    HRESULT const hr = Step("Add", "Presentations.Add(" + std::to_string(withWindow) + ")");
    if (SUCCEEDED(hr)) {
        *added = new ServerPresentation();
    }
    return hr;
}

} // namespace slidevane::testoffice
