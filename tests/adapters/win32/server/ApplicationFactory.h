#pragma once

#include "adapters/win32/WindowsApi.h"

#include <unknwn.h>

// The class object of the test server's application: every activation makes a new application,
// unless the test asked the "Create" step to fail.
namespace slidevane::testoffice {

class ApplicationFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives as long as the server
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
};

} // namespace slidevane::testoffice
