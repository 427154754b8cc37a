// Figures of the Win32 window under Wine, through its message path, beside the Qt window's:
// pointer moves posted to the child controls as the system posts a move, and the queue pumped
// until every repaint they caused has been painted. The program's own objects over the
// registry of the prefix it runs in (bench/window/win32-bench.sh imports the sample pack there).
// It prints figures and asserts nothing.
#include "OperationTimes.h"
#include "catalogue/PictureNames.h"
#include "shell/Form1.h"

// After the core: <windows.h> defines macros named like the core's registry constants.
#include "adapters/win32/ComAutomationRuntime.h"
#include "adapters/win32/OlePicture.h"
#include "adapters/win32/Win32Dialog.h"
#include "adapters/win32/Win32Registry.h"
#include "adapters/win32/Win32Shell.h"
#include "adapters/win32/Win32Window.h"

#include <cstdio>
#include <cstdlib>
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
          form({registry, window, dialog, shell, automation}) {
        window.SetEventHandler(
            [this](Control control, Event event) { form.Dispatch(control, event); });
    }
    ComAutomationRuntime automation;
    Win32Registry registry;
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

// The floor under a hover: only reading and decoding the files it loads, nothing else.
Figures ReadAndDecode(const std::vector<std::string>& paths, int count) {
    return bench::Time(
        [&](int) {
            for (std::string const& path : paths) {
                OlePicture::FromFile(path);
            }
        },
        count, count / 20);
}

void Report(const char* what, const Figures& figures, double budget, double paintsPerOperation) {
    std::printf("%-58s median %8.1f us  p90 %8.1f us", what, figures.median, figures.p90);
    if (budget > 0) {
        std::printf("  Qt budget %4.0f us  paints/op %.2f", budget, paintsPerOperation);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    int const count = argc > 1 ? std::atoi(argv[1]) : 500;
    if (count < 10) {
        std::printf("usage: window_bench_win32 [operations per figure, at least 10]\n");
        return 2;
    }
    Browser browser;
    Form1& form = browser.form;
    if (!form.Form_Load()) {
        std::printf("start-up failed (is the pack's registry imported?); no figures\n");
        return 1;
    }
    browser.window.Show();
    Pump();
    Mouse mouse(browser.window);
    int const warmUp = count / 20;
    std::printf("%d operations per figure after %d warm-up ones\n", count, warmUp);

    auto measure = [&](const char* what, const std::function<int(int)>& operation, double budget) {
        int paints = 0;
        Figures const figures = bench::Time([&](int i) { paints += operation(i); }, count, warmUp);
        Report(what, figures, budget, static_cast<double>(paints) / (count + warmUp));
        return figures;
    };
    measure(
        "ShowPreviewPage with repaint (selection alternating)",
        [&](int i) {
            form.State().PictureIndex = static_cast<std::int16_t>(4 + i % 2);
            form.Preview().ShowPreviewPage();
            return Pump();
        },
        400);
    Figures const strip = measure(
        "pointer move over a strip button (alternating 1 and 2)",
        [&](int i) { return mouse.MoveTo(i % 2 ? Control::Button2 : Control::Button1); }, 500);
    Figures const pane = measure(
        "pointer move onto another thumbnail (pane repaint)",
        [&](int i) { return mouse.MoveTo(i % 2 ? Control::Dis2BackGnd : Control::Dis1BackGnd); },
        400);
    mouse.MoveTo(Control::Dis2BackGnd);
    measure(
        "pointer move within the same thumbnail (no repaint)",
        [&](int i) { return mouse.MoveTo(Control::Dis2BackGnd, i % 2 ? 3 : -3); }, 100);

    // The same files as the two hovers above load, read and decoded with nothing else around.
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
    // Where a hover's time goes: its parts one at a time.
    measure(
        "part: repaint one strip button (invalidate, pump)",
        [&](int) {
            InvalidateRect(browser.window.ControlWindow(Control::Button1).Handle(), nullptr, FALSE);
            return Pump();
        },
        0);
    measure(
        "part: one catalogue read (GetIndexTitle, advapi32)",
        [&](int i) {
            form.GetIndexTitle(static_cast<std::int16_t>(i % 10));
            return 0;
        },
        0);
    measure(
        "part: read and decode one strip picture",
        [&](int) {
            OlePicture::FromFile(stripFiles.front());
            return 0;
        },
        0);
    Figures const stripFloor = ReadAndDecode(stripFiles, count);
    Figures const paneFloor = ReadAndDecode(paneFiles, count);
    std::printf("%-58s median %8.1f us: strip hover / floor %.2f\n",
                "floor: read and decode the strip hover's 11 files", stripFloor.median,
                strip.median / stripFloor.median);
    std::printf("%-58s median %8.1f us: pane hover / floor %.2f\n",
                "floor: read and decode the pane hover's 5 files", paneFloor.median,
                pane.median / paneFloor.median);
    return 0;
}
