#pragma once

#include "DualObject.h"
#include "TestOfficeInterfaces.h"

// The Presentations collection of the test server: adds presentations.
namespace slidevane::testoffice {

class ServerPresentations : public DualObject<IPresentations> {
public:
    ServerPresentations();
    HRESULT STDMETHODCALLTYPE Add(long withWindow, IPresentation** added) override;
};

} // namespace slidevane::testoffice
