// Figures of the Win32 window under Wine, through its message path, beside the Qt window's:
// pointer moves posted to the child controls as the system posts a move, and the queue pumped
// until every repaint they caused has been painted. The program's own objects over the
// registry of the prefix it runs in (bench/window/win32-bench.sh imports a pack there). Each
// hover is followed by its parts, one at a time. It prints figures and asserts nothing.
//
//   window_bench_win32 [operations] [label]   the figures, headed by the label
//   window_bench_win32 --browse               start-up, the pointer over every control twice
//                                             (the strip's hover pictures all loaded), then the
//                                             process's peak resident memory
#include "OperationTimes.h"
#include "catalogue/PictureNames.h"
#include "shell/Form1.h"

// After the core: <windows.h> defines macros named like the core's registry constants.
#include "adapters/win32/ComAutomationRuntime.h"
#include "adapters/win32/Win32Dialog.h"
#include "adapters/win32/Win32PictureFiles.h"
#include "adapters/win32/Win32Registry.h"
#include "adapters/win32/Win32RegistryWatch.h"
#include "adapters/win32/Win32Shell.h"
#include "adapters/win32/Win32Window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <psapi.h>
#include <string>
#include <vector>

namespace {

using namespace slidevane;
using bench::Figures;

// Dispatches every queued message; the system makes WM_PAINT only once nothing else is queued,
// so an empty queue means every repaint is done. Returns the paints dispatched.
int Pump() {
    int paints = 0;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        paints += message.message == WM_PAINT ? 1 : 0;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return paints;
}

// The program's objects, wired as main wires them.
struct Browser {
    Browser()
        : window(GetModuleHandleA(nullptr)), dialog(window.Handle()),
          form({registry, window, dialog, shell, automation, &registryWatch}) {
        window.SetEventHandler(
            [this](Control control, Event event) { form.Dispatch(control, event); });
    }
    ComAutomationRuntime automation;
    Win32Registry registry;
    Win32RegistryWatch registryWatch;
    Win32Shell shell;
    Win32Window window;
    Win32Dialog dialog;
    Form1 form;
};

class Mouse {
public:
    explicit Mouse(const Win32Window& window) : window_(window) {}
    // Posts a move at `dx` pixels right of the control's centre, as the system posts one to the
    // window under the pointer, and pumps until it has been handled and painted.
    int MoveTo(Control control, int dx = 0) {
        HWND const child = window_.ControlWindow(control).Handle();
        RECT client{};
        GetClientRect(child, &client);
        PostMessageA(child, WM_MOUSEMOVE, 0, MAKELPARAM(client.right / 2 + dx, client.bottom / 2));
        return Pump();
    }

private:
    const Win32Window& window_;
};

void Report(const char* what, const Figures& figures, double budget, double paintsPerOperation) {
    std::printf("%-62s median %8.1f us  p90 %8.1f us", what, figures.median, figures.p90);
    if (budget > 0) {
        std::printf("  Qt budget %4.0f us  paints/op %.2f", budget, paintsPerOperation);
    }
    std::printf("\n");
}

std::size_t PeakResidentKiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize / 1024;
}

int Browse() {
    Browser browser;
    if (!browser.form.Form_Load()) {
        std::printf("start-up failed (is a pack's registry imported?)\n");
        return 1;
    }
    browser.window.Show();
    Pump();
    Mouse mouse(browser.window);
    for (int round = 0; round < 2; ++round) {
        for (Control control : AllControls) {
            if (control != Control::Picture9 && control != Control::Picture10) {
                mouse.MoveTo(control);
                mouse.MoveTo(control, 2);
            }
        }
    }
    std::printf("peak_kib=%zu\n", PeakResidentKiB());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--browse") == 0) {
        return Browse();
    }
    int const count = argc > 1 ? std::atoi(argv[1]) : 500;
    if (count < 10) {
        std::printf("usage: window_bench_win32 [operations per figure, at least 10] [label]\n"
                    "       window_bench_win32 --browse\n");
        return 2;
    }
    Browser browser;
    Form1& form = browser.form;
    if (!form.Form_Load()) {
        std::printf("start-up failed (is the pack's registry imported?); no figures\n");
        return 1;
    }
    browser.window.Show();
    // The window's first appearance settles (Wine's desktop process maps and exposes it) before
    // anything is timed: left alone, it lands in the first figure.
    for (int i = 0; i < 20; ++i) {
        Sleep(25);
        Pump();
    }
    Mouse mouse(browser.window);
    int const warmUp = count / 20;
    std::printf("-- %s: %d operations per figure after %d warm-up ones\n",
                argc > 2 ? argv[2] : "sample pack", count, warmUp);

    auto measure = [&](const char* what, const std::function<int(int)>& operation, double budget) {
        int paints = 0;
        Figures const figures = bench::Time([&](int i) { paints += operation(i); }, count, warmUp);
        Report(what, figures, budget, static_cast<double>(paints) / (count + warmUp));
        return figures;
    };

    // The files the two hovers load, and the catalogue they read.
    std::string const ui = form.State().DefaultPath;
    std::int16_t const current = form.State().CurrentIndex;
    std::string const title = form.GetIndexTitle(current);
    std::vector<std::string> stripFiles;
    for (std::int16_t k = 0; k <= 9; ++k) {
        if (k != current) {
            stripFiles.push_back(
                PictureNames::Strip(ui, form.GetIndexTitle(k), k == 0 ? 'b' : 'a'));
        }
    }
    stripFiles.push_back(PictureNames::WebNormal(ui));
    stripFiles.push_back(PictureNames::Strip(ui, title, 'c'));
    std::vector<std::string> const paneFiles = {
        PictureNames::WebNormal(ui), PictureNames::Preview(ui, title, 'a', 4),
        PictureNames::Preview(ui, title, form.State().Pic2OK ? 'b' : 'a', 5),
        PictureNames::Preview(ui, title, 'a', 6), PictureNames::Preview(ui, title, 'c', 5)};

    measure(
        "ShowPreviewPage with repaint (selection alternating)",
        [&](int i) {
            form.State().PictureIndex = static_cast<std::int16_t>(4 + i % 2);
            form.Preview().ShowPreviewPage();
            return Pump();
        },
        400);
    measure(
        "pointer move over a strip button (alternating 1 and 2)",
        [&](int i) { return mouse.MoveTo(i % 2 ? Control::Button2 : Control::Button1); }, 500);
    measure(
        "pointer move onto another thumbnail (pane repaint)",
        [&](int i) { return mouse.MoveTo(i % 2 ? Control::Dis2BackGnd : Control::Dis1BackGnd); },
        400);
    mouse.MoveTo(Control::Dis2BackGnd);
    measure(
        "pointer move within the same thumbnail (no repaint)",
        [&](int i) { return mouse.MoveTo(Control::Dis2BackGnd, i % 2 ? 3 : -3); }, 100);

    // Where a hover's time goes: its parts one at a time. A strip hover is one look for
    // registry changes, ten title reads answered from what was read, eleven picture loads
    // (each reads its file; most find their picture decoded) and the repaint of the two
    // buttons whose picture changed; a pane hover is one look, seven reads, five loads and
    // three repaints.
    measure(
        "part: the event's look for registry changes",
        [&](int) {
            browser.registryWatch.MayHaveChanged(win::PredefinedKey(0x80000002u));
            return 0;
        },
        0);
    Module1 module1(browser.registry, 0x20019 /* KEY_READ */, &browser.registryWatch);
    Catalogue catalogue(module1);
    {
        Module1::EventScope const event(module1);
        catalogue.GetIndexTitle(0);
        measure(
            "part: one catalogue read answered from the last read",
            [&](int i) {
                catalogue.GetIndexTitle(static_cast<std::int16_t>(i % 10));
                return 0;
            },
            0);
    }
    Module1 everyTime(browser.registry);
    Catalogue direct(everyTime);
    measure(
        "part: one catalogue read from the registry (4 advapi32 calls)",
        [&](int i) {
            direct.GetIndexTitle(static_cast<std::int16_t>(i % 10));
            return 0;
        },
        0);
    Win32PictureFiles files;
    measure(
        "part: read one strip picture's file",
        [&](int) {
            files.ReadPictureFile(stripFiles.front(), PictureLoader::MaxFileBytes);
            return 0;
        },
        0);
    PictureLoader loader(files);
    measure(
        "part: load one strip picture decoded before (read, look up)",
        [&](int) {
            loader.Load(stripFiles.front(), 88, 17);
            return 0;
        },
        0);
    measure(
        "part: first load of one strip picture (read, decode)",
        [&](int) {
            PictureLoader(files).Load(stripFiles.front(), 88, 17);
            return 0;
        },
        0);
    measure(
        "part: first load of the main preview picture (read, decode)",
        [&](int) {
            PictureLoader(files).Load(paneFiles.back(), 158, 121);
            return 0;
        },
        0);
    measure(
        "part: repaint one strip button (invalidate, pump)",
        [&](int) {
            InvalidateRect(browser.window.ControlWindow(Control::Button1).Handle(), nullptr, FALSE);
            return Pump();
        },
        0);
    auto floor = [&](const char* what, const std::vector<std::string>& paths, int width,
                     int height) {
        measure(
            what,
            [&](int) {
                for (std::string const& path : paths) {
                    PictureLoader(files).Load(path, width, height);
                }
                return 0;
            },
            0);
    };
    floor("floor: read and decode the strip hover's 11 files", stripFiles, 88, 17);
    floor("floor: read and decode the pane hover's 5 files", paneFiles, 158, 121);
    return 0;
}
