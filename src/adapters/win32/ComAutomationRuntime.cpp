#include "adapters/win32/ComAutomationRuntime.h"

#include "adapters/win32/AnsiText.h"
#include "adapters/win32/ComApplication.h"
#include "adapters/win32/ComPtr.h"
#include "adapters/win32/DispatchObject.h"
#include "adapters/win32/OfficeInterfaces.h"
#include "adapters/win32/WindowsApi.h"
#include "platform/RuntimeError.h"

#include <objbase.h>

namespace slidevane {

namespace {

constexpr DWORD ServerContext = CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER;

[[noreturn]] void Fail(const std::string& call, HRESULT code) {
    throw RuntimeError::Automation(call, DispatchObject::DescribeFailure(code),
                                   static_cast<std::int32_t>(code));
}

// Failures that mean there is no such class to start: "can't create object", whatever the step.
bool NoSuchClass(HRESULT code) {
    return code == CO_E_CLASSSTRING || code == REGDB_E_CLASSNOTREG ||
           code == CO_E_SERVER_EXEC_FAILURE || code == CO_E_APPNOTFOUND;
}

CLSID ClassOf(const std::string& className, const std::string& call) {
    CLSID clsid{};
    std::wstring const progId = WideFromAnsi(className);
    HRESULT const hr = CLSIDFromProgID(progId.c_str(), &clsid);
    if (NoSuchClass(hr)) {
        throw RuntimeError::CannotCreateObject(className);
    }
    if (FAILED(hr)) {
        Fail(call, hr);
    }
    return clsid;
}

std::unique_ptr<AutomationApplication> AsApplication(IUnknown* object, const std::string& call) {
    return std::make_unique<ComApplication>(
        DispatchObject::Query(object, office::IID_Application, "_Application", call));
}

} // namespace

ComAutomationRuntime::ComAutomationRuntime() {
    // S_FALSE (already initialised on this thread) also has to be balanced by CoUninitialize.
    HRESULT const hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    initialised_ = SUCCEEDED(hr);
}

ComAutomationRuntime::~ComAutomationRuntime() {
    if (initialised_) {
        CoUninitialize();
    }
}

std::unique_ptr<AutomationApplication>
ComAutomationRuntime::GetObject(const std::string& pathName, const std::string& className) {
    std::string const call = "GetObject";
    if (!pathName.empty()) {
        std::wstring const path = WideFromAnsi(pathName);
        ComPtr<IUnknown> document;
        HRESULT const hr = CoGetObject(path.c_str(), nullptr, IID_IUnknown, document.ReceiveVoid());
        if (FAILED(hr)) {
            Fail(call, hr);
        }
        return AsApplication(document.Get(), call);
    }
    // With no path name the runtime starts a new instance of the class.
    CLSID const clsid = ClassOf(className, call);
    ComPtr<IUnknown> object;
    HRESULT const hr =
        CoCreateInstance(clsid, nullptr, ServerContext, IID_IUnknown, object.ReceiveVoid());
    if (NoSuchClass(hr)) {
        throw RuntimeError::CannotCreateObject(className);
    }
    if (FAILED(hr)) {
        Fail(call, hr);
    }
    return AsApplication(object.Get(), call);
}

std::unique_ptr<AutomationApplication>
ComAutomationRuntime::CreateObject(const std::string& className) {
    std::string const call = "CreateObject";
    CLSID const clsid = ClassOf(className, call);
    // CreateObject asks the new instance for IDispatch in the same round trip.
    MULTI_QI query{&IID_IDispatch, nullptr, S_OK};
    HRESULT const hr = CoCreateInstanceEx(clsid, nullptr, ServerContext, nullptr, 1, &query);
    ComPtr<IUnknown> const object = ComPtr<IUnknown>::Adopt(query.pItf);
    if (NoSuchClass(hr)) {
        throw RuntimeError::CannotCreateObject(className);
    }
    if (FAILED(hr) || FAILED(query.hr)) {
        Fail(call, FAILED(hr) ? hr : query.hr);
    }
    return AsApplication(object.Get(), call);
}

} // namespace slidevane
