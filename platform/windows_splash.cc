// The splash image of a Java VM in the launcher's own process, as the java
// command shows it for -splash:. The image is decoded by the system's
// imaging component (WIC, which reads PNG, GIF, JPEG and BMP) and shown in a
// layered window, so that a PNG's transparency shows as it does under java.
// COM, GDI and the window calls are looked up when a splash is asked for:
// a launch without one never loads their DLLs.
#include <windows.h>
// After windows.h, which it needs.
#include <wincodec.h>

#include <cstring>
#include <string>

#include "platform/late_bound_calls.h"
#include "platform/platform_windows.h"

namespace {

constexpr DWORD kLongestMs = 60000;
// How often the splash looks for another window of the process.
constexpr DWORD kLookEveryMs = 40;
// Larger images are refused: their rows and size in bytes would overflow
// WIC's 32-bit counts.
constexpr UINT kLargestSide = 16384;

// The calls the splash makes beyond KERNEL32, by DLL. One list gives both
// the members of SplashCalls and the names looked up for them, in the same
// order: a loop over the names costs far less code than a lookup per call.
// clang-format off
#define SPLASH_CALLS(DLL, CALL)                                              \
  DLL("ole32.dll") CALL(CoInitializeEx) CALL(CoCreateInstance)               \
  CALL(CoUninitialize)                                                       \
  DLL("gdi32.dll") CALL(CreateDIBSection) CALL(CreateCompatibleDC)           \
  CALL(SelectObject) CALL(BitBlt) CALL(DeleteDC) CALL(DeleteObject)          \
  DLL("user32.dll") CALL(DefWindowProcA) CALL(RegisterClassA)                \
  CALL(GetSystemMetrics) CALL(CreateWindowExA) CALL(UpdateLayeredWindow)     \
  CALL(SetWindowLongA) CALL(ShowWindow) CALL(MsgWaitForMultipleObjects)      \
  CALL(PeekMessageA) CALL(DispatchMessageA) CALL(BeginPaint) CALL(EndPaint)  \
  CALL(EnumWindows) CALL(GetWindowThreadProcessId) CALL(IsWindowVisible)     \
  CALL(DestroyWindow)
// clang-format on
#define SPLASH_NO_MEMBER(dll)
#define SPLASH_MEMBER(name) decltype(&::name) name;
#define SPLASH_DLL_NAME(dll) "*" dll "\0"
#define SPLASH_CALL_NAME(name) #name "\0"

struct SplashCalls {
  SPLASH_CALLS(SPLASH_NO_MEMBER, SPLASH_MEMBER)
};

// Fills `calls`; false when a DLL or call is missing. The DLLs are loaded
// on the splash's thread and stay loaded until the process ends, as USER32
// does.
bool LookUpCalls(SplashCalls* calls) {
  // Each name ends with a NUL, a DLL's marked by a '*'; an empty one ends.
  static const char kNames[] = SPLASH_CALLS(SPLASH_DLL_NAME, SPLASH_CALL_NAME);
  char* member = reinterpret_cast<char*>(calls);
  HMODULE module = nullptr;
  for (const char* name = kNames; *name != '\0';
       name += std::strlen(name) + 1) {
    if (*name == '*') {
      module = LoadLibraryA(name + 1);
      continue;
    }
    FARPROC call = LookUpCall<FARPROC>(module, name);
    if (call == nullptr) return false;
    std::memcpy(member, &call, sizeof(call));
    member += sizeof(call);
  }
  return true;
}

template <typename Object>
void Release(Object* object) {
  if (object != nullptr) object->Release();
}

// The image's first frame as a top-down DIB section of premultiplied BGRA,
// what a layered window takes; nullptr when the file cannot be read or
// decoded. Needs COM on this thread.
HBITMAP Decode(const SplashCalls& calls, const wchar_t* path, SIZE* size) {
  IWICImagingFactory* factory = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  HBITMAP bitmap = nullptr;
  UINT width = 0, height = 0;
  if (SUCCEEDED(calls.CoCreateInstance(
          CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
          IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
      SUCCEEDED(factory->CreateDecoderFromFilename(
          path, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
          &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) &&
      SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA,
                                      WICBitmapDitherTypeNone, nullptr, 0.0,
                                      WICBitmapPaletteTypeCustom)) &&
      SUCCEEDED(converter->GetSize(&width, &height)) && width > 0 &&
      height > 0 && width <= kLargestSide && height <= kLargestSide) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pixels = nullptr;
    bitmap = calls.CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels,
                                    nullptr, 0);
    if (bitmap != nullptr &&
        FAILED(converter->CopyPixels(nullptr, width * 4, width * 4 * height,
                                     static_cast<BYTE*>(pixels)))) {
      calls.DeleteObject(bitmap);
      bitmap = nullptr;
    }
    *size = {static_cast<LONG>(width), static_cast<LONG>(height)};
  }
  Release(converter);
  Release(frame);
  Release(decoder);
  Release(factory);
  return bitmap;
}

// The splash window over `image`, centred on the primary screen, topmost and
// shown without taking the focus: layered with the image's own alpha, or
// (`painted`) a plain window that the message loop paints when the system
// refuses the layered one. nullptr when no window can be made.
HWND OpenWindow(const SplashCalls& calls, HDC image, SIZE size, bool* painted) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = calls.DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kSplashWindowClass;
  // A second splash finds the class registered by the first.
  calls.RegisterClassA(&windowClass);
  POINT at = {(calls.GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
              (calls.GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2};
  HWND window = calls.CreateWindowExA(
      WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kSplashWindowClass, "",
      WS_POPUP, at.x, at.y, size.cx, size.cy, nullptr, nullptr,
      windowClass.hInstance, nullptr);
  if (window == nullptr) return nullptr;
  POINT origin = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  *painted = !calls.UpdateLayeredWindow(window, nullptr, &at, &size, image,
                                        &origin, 0, &blend, ULW_ALPHA);
  if (*painted) {
    calls.SetWindowLongA(window, GWL_EXSTYLE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  }
  calls.ShowWindow(window, SW_SHOWNOACTIVATE);
  return window;
}

struct WindowSearch {
  const SplashCalls* calls;
  HWND splash;
  // The process's console window, which the system may report as this
  // process's own: it is not the application's.
  HWND console;
  DWORD process;
  bool found;
};

BOOL CALLBACK LookAtWindow(HWND window, LPARAM parameter) {
  WindowSearch& search = *reinterpret_cast<WindowSearch*>(parameter);
  DWORD process = 0;
  search.calls->GetWindowThreadProcessId(window, &process);
  search.found = window != search.splash && window != search.console &&
                 process == search.process &&
                 search.calls->IsWindowVisible(window);
  return !search.found;
}

// Runs the splash's messages until a visible top-level window of this
// process other than the splash exists (the application's first, or a box
// of the launcher's), or for kLongestMs at most.
void ShowUntilAnotherWindow(const SplashCalls& calls, HWND window, HDC image,
                            SIZE size, bool painted) {
  WindowSearch search = {&calls, window, GetConsoleWindow(),
                         GetCurrentProcessId(), false};
  const DWORD start = GetTickCount();
  while (!search.found && GetTickCount() - start < kLongestMs) {
    calls.MsgWaitForMultipleObjects(0, nullptr, FALSE, kLookEveryMs,
                                    QS_ALLINPUT);
    MSG message;
    while (calls.PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (painted && message.message == WM_PAINT && message.hwnd == window) {
        PAINTSTRUCT paint;
        HDC target = calls.BeginPaint(window, &paint);
        calls.BitBlt(target, 0, 0, size.cx, size.cy, image, 0, 0, SRCCOPY);
        calls.EndPaint(window, &paint);
      } else {
        calls.DispatchMessageA(&message);
      }
    }
    calls.EnumWindows(LookAtWindow, reinterpret_cast<LPARAM>(&search));
  }
}

// What the caller hands the splash's thread, and the thread's answer: it
// reads and writes this only until it sets `decided`, while the caller
// waits, so that the caller's frame can own it.
struct SplashStart {
  const wchar_t* path;
  HANDLE decided;
  bool shown;
};

DWORD WINAPI RunSplash(void* parameter) {
  SplashStart& start = *static_cast<SplashStart*>(parameter);
  SplashCalls calls = {};
  HBITMAP bitmap = nullptr;
  SIZE size = {};
  if (LookUpCalls(&calls) &&
      SUCCEEDED(calls.CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    bitmap = Decode(calls, start.path, &size);
    calls.CoUninitialize();
  }
  HDC image = bitmap ? calls.CreateCompatibleDC(nullptr) : nullptr;
  HGDIOBJ before = image ? calls.SelectObject(image, bitmap) : nullptr;
  bool painted = false;
  HWND window = image ? OpenWindow(calls, image, size, &painted) : nullptr;
  start.shown = window != nullptr;
  SetEvent(start.decided);  // from here on, `start` may be gone
  if (window != nullptr) {
    ShowUntilAnotherWindow(calls, window, image, size, painted);
    calls.DestroyWindow(window);
  }
  if (image != nullptr) {
    calls.SelectObject(image, before);
    calls.DeleteDC(image);
  }
  if (bitmap != nullptr) calls.DeleteObject(bitmap);
  return 0;
}

}  // namespace

bool WindowsUserInterface::ShowSplash(const std::string& imagePath) {
  // The file name in UTF-16 for WIC, NUL-terminated: a byte becomes at most
  // one code unit.
  std::string wide(2 * imagePath.size() + 2, '\0');
  MultiByteToWideChar(CP_ACP, 0, imagePath.data(),
                      static_cast<int>(imagePath.size()),
                      reinterpret_cast<wchar_t*>(&wide[0]),
                      static_cast<int>(imagePath.size() + 1));
  SplashStart start = {reinterpret_cast<const wchar_t*>(wide.c_str()),
                       CreateEventA(nullptr, TRUE, FALSE, nullptr), false};
  if (start.decided == nullptr) return false;
  HANDLE thread = CreateThread(nullptr, 0, RunSplash, &start, 0, nullptr);
  if (thread != nullptr) {
    WaitForSingleObject(start.decided, INFINITE);
    CloseHandle(thread);
  }
  CloseHandle(start.decided);
  return start.shown;
}
