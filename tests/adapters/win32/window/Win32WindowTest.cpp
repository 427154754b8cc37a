#include "WineHost.h"
#include "platform/LayoutTable.h"
#include "platform/RuntimeError.h"

// After the core: <windows.h> defines macros named like the core's registry constants.
#include "adapters/win32/Win32PictureFiles.h"
#include "adapters/win32/Win32Window.h"
#include "adapters/win32/WindowsApi.h"

#include <chrono>
#include <cmath>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <tuple>
#include <vector>

using namespace slidevane;
using namespace slidevane::testing;

namespace {

// The window of this process (with the program's resources linked in), its events recorded.
class Win32WindowTest : public ::testing::Test {
protected:
    Win32WindowTest() : window(GetModuleHandleA(nullptr)) {
        window.SetEventHandler([this](Control control, Event event) {
            events.push_back(std::string(ControlName(control)) + "." +
                             std::string(EventName(event)));
        });
    }

    HWND Child(Control control) const { return window.ControlWindow(control).Handle(); }
    void Send(Control control, UINT message, int x, int y, WPARAM keys = 0) {
        SendMessageA(Child(control), message, keys, MAKELPARAM(x, y));
    }

    // What the control paints, read back pixel by pixel.
    COLORREF PixelOf(Control control, int x, int y) const {
        RECT client{};
        GetClientRect(Child(control), &client);
        HDC const screen = GetDC(nullptr);
        HDC const memory = CreateCompatibleDC(screen);
        HBITMAP const bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ const old = SelectObject(memory, bitmap);
        window.ControlWindow(control).Paint(memory);
        COLORREF const pixel = GetPixel(memory, x, y);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return pixel;
    }

    // The stored background's pixel at (x, y) of the window.
    static COLORREF BackgroundAt(int x, int y) {
        SharedPicture const background = Win32Window::StoredPicture("BACKGROUND");
        std::uint32_t const pixel =
            background->pixels[static_cast<std::size_t>(y) * background->width + x];
        return RGB((pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff);
    }

    int LoadError(Control control, const std::string& path) {
        try {
            window.LoadPicture(control, path);
        } catch (const RuntimeError& error) {
            return error.Number();
        }
        return 0;
    }

    static std::string Picture(const std::string& name) { return TestData() + "pictures\\" + name; }

    Win32Window window;
    std::vector<std::string> events;
};

RECT PlaceOf(HWND child) {
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

TEST_F(Win32WindowTest, TheWindowIsABorderlessPopupOfTheDesignedSize) {
    HWND const handle = window.Handle();
    LONG_PTR const style = GetWindowLongPtrA(handle, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
    RECT outer{};
    GetWindowRect(handle, &outer);
    EXPECT_EQ(outer.right - outer.left, 418);
    EXPECT_EQ(outer.bottom - outer.top, 288);
    char caption[32] = {};
    GetWindowTextA(handle, caption, sizeof caption);
    EXPECT_STREQ(caption, "Slidevane");
    EXPECT_NE(GetClassLongPtrA(handle, GCLP_HICON), 0);
    EXPECT_EQ(window.ScaleHeight(), 288.0f);
    EXPECT_EQ(window.FormWidth(), 6270.0f);
}

TEST_F(Win32WindowTest, ControlsArePlacedFromTheLayoutAndKeepUnroundedValues) {
    for (Control control : AllControls) {
        ControlLayout const& layout = LayoutTable::Of(control);
        RECT const place = PlaceOf(Child(control));
        EXPECT_EQ(place.left, std::lround(layout.left / 15.0f)) << ControlName(control);
        EXPECT_EQ(place.top, std::lround(layout.top / 15.0f)) << ControlName(control);
        EXPECT_EQ(place.right - place.left, std::lround(layout.width / 15.0f));
        EXPECT_EQ(place.bottom - place.top, std::lround(layout.height / 15.0f));
    }
    // Button1 is 1320 twips wide: 88 pixels; scaled by 0.8 that is 70.4, placed as 70.
    window.SetControlProperty(Control::Button1, Property::Width, 70.4f);
    EXPECT_EQ(window.ControlProperty(Control::Button1, Property::Width), 70.4f);
    RECT const place = PlaceOf(Child(Control::Button1));
    EXPECT_EQ(place.right - place.left, 70);

    window.SetFormWidth(4800.0f);
    window.SetFormHeight(3459.0f); // 230.6 pixels
    RECT outer{};
    GetWindowRect(window.Handle(), &outer);
    EXPECT_EQ(outer.right - outer.left, 320);
    EXPECT_EQ(outer.bottom - outer.top, 231);
    EXPECT_EQ(window.FormHeight(), 3459.0f);
}

TEST_F(Win32WindowTest, PicturesAreDrawnOneToOneFromTheTopLeftAndClipped) {
    // 300 x 300 into the 158 x 121 pane: green top-left pixel, blue elsewhere, nothing scaled.
    window.LoadPicture(Control::MainDisBackGnd, Picture("blue-300x300.gif"));
    EXPECT_EQ(PixelOf(Control::MainDisBackGnd, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(PixelOf(Control::MainDisBackGnd, 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(Control::MainDisBackGnd, 157, 120), RGB(0, 0, 255));

    // 20 x 10 into the 88 x 17 button at (16, 54): the rest shows the background beneath.
    window.LoadPicture(Control::Button1, Picture("red-20x10.gif"));
    EXPECT_EQ(PixelOf(Control::Button1, 19, 9), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(Control::Button1, 20, 9), BackgroundAt(16 + 20, 54 + 9));
    EXPECT_EQ(PixelOf(Control::Button1, 50, 15), BackgroundAt(16 + 50, 54 + 15));

    // Transparent pixels of a GIF show the background; Picture9 sits at (389, 12).
    window.LoadPicture(Control::Picture9, Picture("half-transparent-10x10.gif"));
    EXPECT_EQ(PixelOf(Control::Picture9, 2, 2), BackgroundAt(389 + 2, 12 + 2));
    EXPECT_EQ(PixelOf(Control::Picture9, 7, 2), RGB(0, 255, 0));
}

TEST_F(Win32WindowTest, OnlyAControlWhosePictureChangedIsRepainted) {
    window.Show();
    auto paintEverything = [&] {
        RedrawWindow(window.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    auto waitsForPaint = [&](Control control) {
        RECT region{};
        return GetUpdateRect(Child(control), &region, FALSE) != FALSE;
    };
    paintEverything();
    std::string const folder = MakeTempFolder();
    std::string const copy = folder + "red-copy.gif";
    ASSERT_TRUE(CopyFileA(Picture("red-20x10.gif").c_str(), copy.c_str(), FALSE));

    window.LoadPicture(Control::Button1, Picture("red-20x10.gif"));
    EXPECT_TRUE(waitsForPaint(Control::Button1));
    EXPECT_FALSE(waitsForPaint(Control::Button2));
    paintEverything();
    // The same picture again, also from another file of the same bytes: nothing to paint.
    window.LoadPicture(Control::Button1, Picture("red-20x10.gif"));
    window.LoadPicture(Control::Button1, copy);
    EXPECT_FALSE(waitsForPaint(Control::Button1));
    // Another picture, or the same one cut to another control's size: painted.
    window.LoadPicture(Control::Button1, Picture("blue-300x300.gif"));
    window.LoadPicture(Control::Button2, Picture("blue-300x300.gif"));
    EXPECT_TRUE(waitsForPaint(Control::Button1));
    EXPECT_TRUE(waitsForPaint(Control::Button2));
    paintEverything();
    EXPECT_EQ(PixelOf(Control::Button1, 1, 1), RGB(0, 0, 255));
    RemoveFolder(folder);
}

TEST_F(Win32WindowTest, FailedLoadsRaiseTheirErrorsAndKeepThePicture) {
    window.LoadPicture(Control::Dis1BackGnd, Picture("red-20x10.gif"));
    EXPECT_EQ(LoadError(Control::Dis1BackGnd, Picture("absent.gif")), 53);
    EXPECT_EQ(LoadError(Control::Dis1BackGnd, TestData() + "absent\\p_x-a4.gif"), 76);
    EXPECT_EQ(LoadError(Control::Dis1BackGnd, Picture("not-a-picture.gif")), 481);
    EXPECT_EQ(LoadError(Control::Dis1BackGnd, Picture("truncated.gif")), 481);
    // The system's picture loader would take these; under a GIF's name they are no pictures.
    EXPECT_EQ(LoadError(Control::Dis1BackGnd, Picture("bitmap-named.gif")), 481);
    EXPECT_EQ(LoadError(Control::Dis1BackGnd, Picture("png-named.gif")), 481);
    EXPECT_EQ(PixelOf(Control::Dis1BackGnd, 0, 0), RGB(255, 0, 0));

    // A stored NUL ends the path, as it ends it for the file system.
    EXPECT_EQ(LoadError(Control::Dis2BackGnd, Picture("red-20x10.gif") + std::string("\0x", 2)), 0);
    EXPECT_EQ(PixelOf(Control::Dis2BackGnd, 0, 0), RGB(255, 0, 0));
}

// The load's result, or -1 when it has not ended after ten seconds (its thread is left behind).
int LoadErrorWithin(const std::string& path) {
    auto result = std::make_shared<std::promise<int>>();
    std::future<int> done = result->get_future();
    std::thread([result, path] {
        try {
            Win32PictureFiles files;
            PictureLoader(files).Load(path, 10, 10);
            result->set_value(0);
        } catch (const RuntimeError& error) {
            result->set_value(error.Number());
        }
    }).detach();
    return done.wait_for(std::chrono::seconds(10)) == std::future_status::ready ? done.get() : -1;
}

TEST_F(Win32WindowTest, FoldersPipesAndDevicesAreNoPicturesAndAreRefusedAtOnce) {
    std::string const folder = MakeTempFolder();
    // A pipe whose server never writes: reading it would wait for ever.
    std::string const pipeName =
        "\\\\.\\pipe\\slidevane3-picture-" + std::to_string(GetCurrentProcessId());
    HANDLE const server = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_OUTBOUND,
                                           PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    // A file far larger than any picture (sparse: it costs no disk).
    std::string const huge = folder + "huge.gif";
    HANDLE const file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end{};
    end.QuadPart = 65LL * 1024 * 1024;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    std::string const special = SLIDEVANE3_SPECIAL_FILES "\\";
    for (std::string const& path :
         {folder, folder.substr(0, folder.size() - 1), pipeName, std::string("NUL"),
          std::string("Z:\\dev\\zero"), special + "fifo.gif", special + "zero.gif", huge}) {
        EXPECT_EQ(LoadErrorWithin(path), 481) << path;
    }
    CloseHandle(server);
    RemoveFolder(folder);
}

TEST_F(Win32WindowTest, MouseMessagesBecomeTheControlsEvents) {
    Send(Control::Button4, WM_MOUSEMOVE, 3, 3);
    Send(Control::Button4, WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), Child(Control::Button4));
    Send(Control::Button4, WM_LBUTTONUP, 3, 3);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(events,
              (std::vector<std::string>{"Button4.MouseMove", "Button4.MouseUp", "Button4.Click"}));

    // Dragged off the control while captured: the release arrives with outside coordinates.
    events.clear();
    Send(Control::Button4, WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    Send(Control::Button4, WM_MOUSEMOVE, -5, 40, MK_LBUTTON);
    Send(Control::Button4, WM_LBUTTONUP, -5, 40);
    EXPECT_EQ(events, (std::vector<std::string>{"Button4.MouseMove", "Button4.MouseUp"}));

    // The double-click message sequence of the system.
    events.clear();
    Send(Control::Dis3BackGnd, WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    Send(Control::Dis3BackGnd, WM_LBUTTONUP, 5, 5);
    Send(Control::Dis3BackGnd, WM_LBUTTONDBLCLK, 5, 5, MK_LBUTTON);
    Send(Control::Dis3BackGnd, WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(events, (std::vector<std::string>{"Dis3BackGnd.MouseUp", "Dis3BackGnd.Click",
                                                "Dis3BackGnd.DblClick", "Dis3BackGnd.MouseUp"}));

    // The background delivers nothing, and a press on it keeps the pointer's events with it
    // until the release, so a drag onto a control gives that control nothing either.
    events.clear();
    SendMessageA(window.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    SendMessageA(window.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(GetCapture(), window.Handle());
    SendMessageA(window.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 140));
    SendMessageA(window.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(60, 140));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageA(window.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(GetCapture(), window.Handle());
    SendMessageA(window.Handle(), WM_RBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(events.empty());
}

TEST_F(Win32WindowTest, OnlyTheLeftButtonClicksOrDoubleClicks) {
    // Right and middle clicks and double-clicks on the close glyph, as the system sends them.
    for (auto [down, doubled, up, key] :
         {std::tuple{WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_RBUTTONUP, MK_RBUTTON},
          std::tuple{WM_MBUTTONDOWN, WM_MBUTTONDBLCLK, WM_MBUTTONUP, MK_MBUTTON}}) {
        Send(Control::Picture9, down, 3, 3, key);
        EXPECT_EQ(GetCapture(), Child(Control::Picture9));
        Send(Control::Picture9, up, 3, 3);
        Send(Control::Picture9, doubled, 3, 3, key);
        Send(Control::Picture9, up, 3, 3);
        EXPECT_EQ(GetCapture(), nullptr);
    }
    EXPECT_EQ(events, std::vector<std::string>(4, "Picture9.MouseUp"));

    // Left down, right down, left up, right up: the capture stays until the last button is up.
    events.clear();
    Send(Control::Button6, WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    Send(Control::Button6, WM_RBUTTONDOWN, 3, 3, MK_LBUTTON | MK_RBUTTON);
    Send(Control::Button6, WM_LBUTTONUP, 3, 3, MK_RBUTTON);
    EXPECT_EQ(GetCapture(), Child(Control::Button6));
    Send(Control::Button6, WM_RBUTTONUP, 3, 3);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(events,
              (std::vector<std::string>{"Button6.MouseUp", "Button6.Click", "Button6.MouseUp"}));
}

TEST_F(Win32WindowTest, AMoveMessageAtThePointersLastPlaceIsNoMove) {
    Send(Control::Button4, WM_MOUSEMOVE, 3, 3);
    Send(Control::Button4, WM_MOUSEMOVE, 3, 3);
    // A click, then the move message the system sends when the release ends the capture.
    Send(Control::Button4, WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
    Send(Control::Button4, WM_LBUTTONUP, 3, 3);
    Send(Control::Button4, WM_MOUSEMOVE, 3, 3);
    EXPECT_EQ(events,
              (std::vector<std::string>{"Button4.MouseMove", "Button4.MouseUp", "Button4.Click"}));

    // Places are compared on the screen: the same place seen from another window is no move.
    events.clear();
    POINT same{3, 3};
    MapWindowPoints(Child(Control::Button4), Child(Control::Button5), &same, 1);
    Send(Control::Button5, WM_MOUSEMOVE, same.x, same.y);
    EXPECT_TRUE(events.empty());

    // Away over the background and back to the same place: a move again.
    SendMessageA(window.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    Send(Control::Button4, WM_MOUSEMOVE, 3, 3);
    Send(Control::Button4, WM_MOUSEMOVE, 4, 3);
    EXPECT_EQ(events, (std::vector<std::string>{"Button4.MouseMove", "Button4.MouseMove"}));
}

TEST_F(Win32WindowTest, TheHandPointerShowsOverTheWebButtonOnly) {
    HCURSOR const hand = LoadCursorA(GetModuleHandleA(nullptr), "HAND");
    ASSERT_NE(hand, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_EQ(info.xHotspot, 12u);
    EXPECT_EQ(info.yHotspot, 1u);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);

    SendMessageA(Child(Control::WWWBtn), WM_SETCURSOR,
                 reinterpret_cast<WPARAM>(Child(Control::WWWBtn)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), hand);
    SendMessageA(Child(Control::Button1), WM_SETCURSOR,
                 reinterpret_cast<WPARAM>(Child(Control::Button1)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
}

TEST_F(Win32WindowTest, MinimizeIconifiesTheWindow) {
    window.Show();
    EXPECT_FALSE(IsIconic(window.Handle()));
    window.Minimize();
    EXPECT_TRUE(IsIconic(window.Handle()));
}

TEST_F(Win32WindowTest, UnloadDestroysTheWindowAndEndsTheLoop) {
    window.Unload();
    EXPECT_FALSE(IsWindow(window.Handle()));
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

} // namespace
