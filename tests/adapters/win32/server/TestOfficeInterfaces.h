#pragma once

#include "adapters/win32/WindowsApi.h"

#include <oaidl.h>

// The vtables of TestOffice.idl's dual interfaces, written out for the test server's C++ objects.
// The identifiers are the presentation application's; the class is the test server's own.
namespace slidevane::testoffice {

inline constexpr CLSID CLSID_Application = {
    0x5D1E0A3B, 0x7C44, 0x4E51, {0x9B, 0x0D, 0x3A, 0x1F, 0x6C, 0x2E, 0x8B, 0x02}};
inline constexpr GUID LIBID_TestOffice = {
    0x5D1E0A3B, 0x7C44, 0x4E51, {0x9B, 0x0D, 0x3A, 0x1F, 0x6C, 0x2E, 0x8B, 0x01}};

struct IPresentation : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE ApplyTemplate(BSTR fileName) = 0;
};

struct IPresentations : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Add(long withWindow, IPresentation** added) = 0;
};

struct IApplication : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Presentations(IPresentations** presentations) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Visible(long* visible) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Visible(long visible) = 0;
};

} // namespace slidevane::testoffice
