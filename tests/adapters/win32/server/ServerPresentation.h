#pragma once

#include "DualObject.h"
#include "TestOfficeInterfaces.h"

// A presentation of the test server: records the template applied to it.
namespace slidevane::testoffice {

class ServerPresentation : public DualObject<IPresentation> {
public:
    ServerPresentation();
    HRESULT STDMETHODCALLTYPE ApplyTemplate(BSTR fileName) override;
};

} // namespace slidevane::testoffice
