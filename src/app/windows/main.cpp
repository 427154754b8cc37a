// The Windows program: builds the platform's objects, hands them to the window object of the
// core, runs start-up and then the message loop until the window is unloaded or an error ends
// the program.
#include "shell/Form1.h"

// After the core: <windows.h> defines macros named like the core's registry constants.
#include "adapters/win32/ComAutomationRuntime.h"
#include "adapters/win32/Win32Dialog.h"
#include "adapters/win32/Win32Registry.h"
#include "adapters/win32/Win32RegistryWatch.h"
#include "adapters/win32/Win32Shell.h"
#include "adapters/win32/Win32Window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace slidevane;
    // Declared first so that the apartment outlives every picture and automation object.
    ComAutomationRuntime automation;
    Win32Registry registry;
    Win32RegistryWatch registryWatch;
    Win32Shell shell;
    Win32Window window(instance);
    Win32Dialog dialog(window.Handle());
    Form1 form(Form1Ports{registry, window, dialog, shell, automation, &registryWatch});
    window.SetEventHandler(
        [&form](Control control, Event event) { form.Dispatch(control, event); });

    if (!form.Form_Load()) {
        return dialog.QuitStatus().value_or(0);
    }
    window.Show();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return dialog.QuitStatus().value_or(static_cast<int>(message.wParam));
}
