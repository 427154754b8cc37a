// The test automation server: a local COM server answering the presentation application's class
// names and interfaces, recording every call. "/RegServer" registers it (class, both class names,
// type library) in the prefix's registry; COM starts it with "-Embedding".
#include "ApplicationFactory.h"
#include "ServerLifetime.h"
#include "TestOfficeInterfaces.h"

#include <oleauto.h>
#include <string>

using namespace slidevane::testoffice;

namespace {

constexpr const wchar_t* ClassId = L"{5D1E0A3B-7C44-4E51-9B0D-3A1F6C2E8B02}";
constexpr const wchar_t* ClassNames[] = {L"Powerpoint.Application.9", L"Powerpoint.Application.8"};

bool SetText(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    LONG const status =
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

int Register() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring const classKey = std::wstring(L"CLSID\\") + ClassId;
    bool ok = SetText(classKey, nullptr, L"Slidevane3 Test Office") &&
              SetText(classKey + L"\\LocalServer32", nullptr, std::wstring(L"\"") + path + L"\"") &&
              SetText(classKey + L"\\ProgID", nullptr, ClassNames[0]);
    for (const wchar_t* name : ClassNames) {
        ok = ok && SetText(name, nullptr, L"Slidevane3 Test Office") &&
             SetText(std::wstring(name) + L"\\CLSID", nullptr, ClassId);
    }
    // Registering the type library registers its dual interfaces for marshalling.
    ITypeLib* library = nullptr;
    HRESULT const hr = LoadTypeLibEx(path, REGKIND_REGISTER, &library);
    if (SUCCEEDED(hr)) {
        library->Release();
    }
    return ok && SUCCEEDED(hr) ? 0 : 1;
}

int Serve() {
    ApplicationFactory factory;
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(CLSID_Application, &factory, CLSCTX_LOCAL_SERVER,
                                     REGCLS_MULTIPLEUSE, &cookie))) {
        return 1;
    }
    // Serves until nothing has been held for a while; a client that never comes ends it too.
    // New activations are refused first and the server lingers a little longer, so that a client
    // that obtained the class object just before still has its object made.
    UINT_PTR const timer = SetTimer(nullptr, 0, 100, nullptr);
    bool revoked = false;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && ServerLifetime::IdleFor(1000)) {
            if (revoked) {
                break;
            }
            CoRevokeClassObject(cookie);
            revoked = true;
            ServerLifetime::Touch();
        }
        DispatchMessageW(&message);
    }
    KillTimer(nullptr, timer);
    if (!revoked) {
        CoRevokeClassObject(cookie);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    std::string const command = argc > 1 ? argv[1] : "";
    int status = 2;
    if (command == "/RegServer" || command == "-RegServer") {
        status = Register();
    } else if (command == "-Embedding" || command == "/Embedding") {
        status = Serve();
    }
    CoUninitialize();
    return status;
}
