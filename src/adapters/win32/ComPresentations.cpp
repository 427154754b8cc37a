#include "adapters/win32/ComPresentations.h"

#include "adapters/win32/ComPresentation.h"
#include "adapters/win32/OfficeInterfaces.h"

namespace slidevane {

ComPresentations::ComPresentations(DispatchObject presentations)
    : presentations_(std::move(presentations)) {}

std::unique_ptr<AutomationPresentation> ComPresentations::Add(int withWindow) {
    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_I4;
    V_I4(&argument) = withWindow;
    return std::make_unique<ComPresentation>(presentations_.CallReturningObject(
        "Add", &argument, 1, office::IID_Presentation, "_Presentation"));
}

} // namespace slidevane
