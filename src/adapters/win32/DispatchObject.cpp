#include "adapters/win32/DispatchObject.h"

#include "adapters/win32/AnsiText.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <cstdio>
#include <oleauto.h>
#include <vector>

namespace slidevane {

namespace {

[[noreturn]] void Fail(const std::string& call, HRESULT code, const std::string& message) {
    throw RuntimeError::Automation(call, message, static_cast<std::int32_t>(code));
}

std::string FromBstr(BSTR text) {
    return AnsiFromWide(text, text ? SysStringLen(text) : 0);
}

class ExceptionInfo {
public:
    ExceptionInfo() = default;
    ~ExceptionInfo() {
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
    }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
    EXCEPINFO info{};
};

} // namespace

DispatchObject::DispatchObject(ComPtr<IDispatch> object, std::string interfaceName)
    : object_(std::move(object)), interfaceName_(std::move(interfaceName)) {}

DispatchObject DispatchObject::Query(IUnknown* unknown, const IID& iid, std::string interfaceName,
                                     const std::string& call) {
    ComPtr<IDispatch> object;
    HRESULT const hr = unknown->QueryInterface(iid, object.ReceiveVoid());
    if (FAILED(hr) || !object) {
        Fail(call, FAILED(hr) ? hr : E_NOINTERFACE,
             interfaceName + " not supported: " + DescribeFailure(FAILED(hr) ? hr : E_NOINTERFACE));
    }
    return DispatchObject(std::move(object), std::move(interfaceName));
}

std::string DispatchObject::CallName(const char* member) const {
    return interfaceName_ + "." + member;
}

std::string DispatchObject::DescribeFailure(HRESULT code) {
    char* buffer = nullptr;
    DWORD const length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (length > 0 && buffer != nullptr) {
        text.assign(buffer, length);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                                 text.back() == '.')) {
            text.pop_back();
        }
    }
    LocalFree(buffer);
    if (text.empty()) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(code));
        text = std::string("Unknown error ") + hex;
    }
    return text;
}

VARIANT DispatchObject::Invoke(const char* member, WORD flags, VARIANT* arguments, unsigned count) {
    std::string const call = CallName(member);
    std::wstring name = WideFromAnsi(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        Fail(call, hr, DescribeFailure(hr));
    }
    // Invoke takes the arguments last to first.
    std::vector<VARIANT> reversed(arguments, arguments + count);
    std::reverse(reversed.begin(), reversed.end());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{};
    parameters.rgvarg = reversed.empty() ? nullptr : reversed.data();
    parameters.cArgs = count;
    if (flags == DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &putId;
        parameters.cNamedArgs = 1;
    }
    VARIANT result;
    VariantInit(&result);
    ExceptionInfo exception;
    UINT argumentError = 0;
    hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                         flags == DISPATCH_PROPERTYPUT ? nullptr : &result, &exception.info,
                         &argumentError);
    if (hr == DISP_E_EXCEPTION) {
        if (exception.info.pfnDeferredFillIn != nullptr) {
            exception.info.pfnDeferredFillIn(&exception.info);
        }
        HRESULT const code = FAILED(exception.info.scode) ? exception.info.scode : hr;
        std::string message = FromBstr(exception.info.bstrDescription);
        Fail(call, code, message.empty() ? DescribeFailure(code) : message);
    }
    if (FAILED(hr)) {
        Fail(call, hr, DescribeFailure(hr));
    }
    return result;
}

DispatchObject DispatchObject::AsObject(VARIANT& result, const IID& iid, const char* interfaceName,
                                        const std::string& call) {
    if (V_VT(&result) != VT_DISPATCH || V_DISPATCH(&result) == nullptr) {
        VariantClear(&result);
        Fail(call, DISP_E_TYPEMISMATCH, "the application returned no object");
    }
    // The variant's reference is taken over, so it is released whatever happens next.
    ComPtr<IDispatch> const returned = ComPtr<IDispatch>::Adopt(V_DISPATCH(&result));
    V_VT(&result) = VT_EMPTY;
    return Query(returned.Get(), iid, interfaceName, call);
}

DispatchObject DispatchObject::GetObjectProperty(const char* member, const IID& iid,
                                                 const char* interfaceName) {
    VARIANT result = Invoke(member, DISPATCH_PROPERTYGET, nullptr, 0);
    return AsObject(result, iid, interfaceName, CallName(member));
}

DispatchObject DispatchObject::CallReturningObject(const char* member, VARIANT* arguments,
                                                   unsigned count, const IID& iid,
                                                   const char* interfaceName) {
    VARIANT result = Invoke(member, DISPATCH_METHOD, arguments, count);
    return AsObject(result, iid, interfaceName, CallName(member));
}

void DispatchObject::CallMethod(const char* member, VARIANT* arguments, unsigned count) {
    VARIANT result = Invoke(member, DISPATCH_METHOD, arguments, count);
    VariantClear(&result);
}

void DispatchObject::PutProperty(const char* member, VARIANT value) {
    Invoke(member, DISPATCH_PROPERTYPUT, &value, 1);
}

} // namespace slidevane
