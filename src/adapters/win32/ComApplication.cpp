#include "adapters/win32/ComApplication.h"

#include "adapters/win32/ComPresentations.h"
#include "adapters/win32/OfficeInterfaces.h"

namespace slidevane {

ComApplication::ComApplication(DispatchObject application) : application_(std::move(application)) {}

std::unique_ptr<AutomationPresentations> ComApplication::Presentations() {
    return std::make_unique<ComPresentations>(application_.GetObjectProperty(
        "Presentations", office::IID_Presentations, "Presentations"));
}

void ComApplication::SetVisible(int visible) {
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_I4;
    V_I4(&value) = visible;
    application_.PutProperty("Visible", value);
}

} // namespace slidevane
