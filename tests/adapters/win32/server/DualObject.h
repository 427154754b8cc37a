#pragma once

#include "CallRecorder.h"
#include "ServerLifetime.h"
#include "TestOfficeInterfaces.h"

#include <oleauto.h>
#include <string>

// The COM plumbing every test-server object shares: reference counting, QueryInterface for its
// one dual interface, and IDispatch answered from the registered type library, so late-bound
// calls reach the same C++ methods as vtable calls. A failing method's message travels back in
// EXCEPINFO as a real automation server's does.
//
// Owns: the object's reference count, its type information and the last failure's message.
namespace slidevane::testoffice {

template <class Interface> class DualObject : public Interface {
public:
    DualObject(const IID& iid, const char* name) : iid_(iid), name_(name) {
        ServerLifetime::Acquire();
        ITypeLib* library = nullptr;
        if (SUCCEEDED(LoadRegTypeLib(LIBID_TestOffice, 1, 0, LOCALE_NEUTRAL, &library))) {
            library->GetTypeInfoOfGuid(iid, &typeInfo_);
            library->Release();
        }
    }
    virtual ~DualObject() {
        if (typeInfo_ != nullptr) {
            typeInfo_->Release();
        }
        CallRecorder::Record(name_ + ".released");
        ServerLifetime::Release();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, iid_)) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG const left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = typeInfo_ != nullptr ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (index != 0 || typeInfo_ == nullptr) {
            return DISP_E_BADINDEX;
        }
        typeInfo_->AddRef();
        *info = typeInfo_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return DispGetIDsOfNames(typeInfo_, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        failure_.clear();
        HRESULT const hr = DispInvoke(static_cast<Interface*>(this), typeInfo_, id, flags,
                                      parameters, result, exception, argumentError);
        if (!failure_.empty() && exception != nullptr) {
            *exception = EXCEPINFO{};
            exception->bstrSource = SysAllocString(L"Test Office");
            std::wstring const description(failure_.begin(), failure_.end());
            exception->bstrDescription = SysAllocString(description.c_str());
            exception->scode = failureCode_;
            return DISP_E_EXCEPTION;
        }
        return hr;
    }

protected:
    // Runs the test's plan for `step`: S_OK, or the failure code with its message remembered.
    HRESULT Step(const char* step, const std::string& call) {
        HRESULT const outcome = CallRecorder::Outcome(step);
        if (FAILED(outcome)) {
            CallRecorder::Record(call + " failed");
            failure_ = std::string("Test Office refused ") + step;
            failureCode_ = outcome;
        } else {
            CallRecorder::Record(call);
        }
        return outcome;
    }

private:
    LONG references_ = 1;
    IID iid_;
    std::string name_;
    ITypeInfo* typeInfo_ = nullptr;
    std::string failure_;
    HRESULT failureCode_ = S_OK;
};

} // namespace slidevane::testoffice
