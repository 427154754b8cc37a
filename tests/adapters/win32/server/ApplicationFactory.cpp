#include "ApplicationFactory.h"

#include "CallRecorder.h"
#include "ServerApplication.h"
#include "ServerLifetime.h"

namespace slidevane::testoffice {

HRESULT ApplicationFactory::QueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT ApplicationFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    ServerLifetime::Touch();
    HRESULT const outcome = CallRecorder::Outcome("Create");
    if (FAILED(outcome)) {
        CallRecorder::Record("Application.new failed");
        return outcome;
    }
    CallRecorder::Record("Application.new");
    auto* application = new ServerApplication();
    HRESULT const hr = application->QueryInterface(iid, object);
    application->Release();
    return hr;
}

HRESULT ApplicationFactory::LockServer(BOOL lock) {
    if (lock) {
        ServerLifetime::Acquire();
    } else {
        ServerLifetime::Release();
    }
    return S_OK;
}

} // namespace slidevane::testoffice
