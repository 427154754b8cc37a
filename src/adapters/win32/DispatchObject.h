#pragma once

#include "adapters/win32/ComPtr.h"

#include <oaidl.h>
#include <string>

// An automation object reached through one of its dual interfaces, called late-bound: members are
// looked up by name (GetIDsOfNames) and called with Invoke, so the launcher depends on the
// application's member names and interface identifiers only, not on its vtable layout.
//
// Owns: one reference to the object and the name of the interface it was obtained as (used in
// error texts). Every failure becomes a RuntimeError carrying the failure code as a signed 32-bit
// number and the application's own message when it gave one.
namespace slidevane {

class DispatchObject {
public:
    DispatchObject(ComPtr<IDispatch> object, std::string interfaceName);

    // Asks `unknown` for the dual interface `iid`; `call` names the step in the error.
    static DispatchObject Query(IUnknown* unknown, const IID& iid, std::string interfaceName,
                                const std::string& call);

    // A property that returns an object, asked for the dual interface `iid`.
    DispatchObject GetObjectProperty(const char* member, const IID& iid, const char* interfaceName);
    // A method taking `arguments` (in their written order) that returns an object.
    DispatchObject CallReturningObject(const char* member, VARIANT* arguments, unsigned count,
                                       const IID& iid, const char* interfaceName);
    void CallMethod(const char* member, VARIANT* arguments, unsigned count);
    void PutProperty(const char* member, VARIANT value);

    // The text of a failure code: the system's message for it, or its hexadecimal value.
    static std::string DescribeFailure(HRESULT code);

private:
    VARIANT Invoke(const char* member, WORD flags, VARIANT* arguments, unsigned count);
    DispatchObject AsObject(VARIANT& result, const IID& iid, const char* interfaceName,
                            const std::string& call);
    std::string CallName(const char* member) const;

    ComPtr<IDispatch> object_;
    std::string interfaceName_;
};

} // namespace slidevane
