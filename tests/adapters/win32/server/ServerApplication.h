#pragma once

#include "DualObject.h"
#include "TestOfficeInterfaces.h"

// The application object of the test server: its Presentations collection and its visibility.
namespace slidevane::testoffice {

class ServerApplication : public DualObject<IApplication> {
public:
    ServerApplication();
    HRESULT STDMETHODCALLTYPE get_Presentations(IPresentations** presentations) override;
    HRESULT STDMETHODCALLTYPE get_Visible(long* visible) override;
    HRESULT STDMETHODCALLTYPE put_Visible(long visible) override;

private:
    long visible_ = 0;
};

} // namespace slidevane::testoffice
