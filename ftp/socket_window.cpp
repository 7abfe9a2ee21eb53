#include "ftp/socket_window.h"

#include <mutex>

#include "ftp/wsocket.h"
#include "ftp/wsocket_unit.h"
#include "platform/messages/hidden_windows.h"
#include "platform/messages/message_queue.h"

namespace {

constexpr const char* kUtilWindowClassName = "XUtilWindowClass";

// Each utility window owns one of these through its window word.
struct UtilWindowTarget {
    TWindowMethod Method;
};

LRESULT UtilWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* target = reinterpret_cast<UtilWindowTarget*>(GetWindowLongA(Window, 0));
    if (!target || !target->Method) return DefWindowProcA(Window, Msg, WParam, LParam);
    TMessage message{Msg, WParam, LParam, 0};
    // A copy runs, so that a method that deallocates its own window stays valid.
    const TWindowMethod method = target->Method;
    try {
        method(message);
    } catch (...) {
        // Nothing may cross the message loop.
    }
    return message.Result;
}

bool EnsureClassRegistered(const char* ClassName, WNDPROC Proc, HINSTANCE Instance) {
    WNDCLASSA existing{};
    if (GetClassInfoA(Instance, ClassName, &existing)) return true;
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = static_cast<int>(sizeof(LONG_PTR));  // one word holding a whole pointer
    wc.hInstance = Instance;
    wc.lpszClassName = ClassName;
    return RegisterClassA(&wc) != 0;
}

// A hidden window of the class, registered first when needed. Both steps run under
// WindowClassLock: the last socket of another thread unregisters the class under that
// lock, and must not do so between them.
HWND MakeHiddenWindow(const char* ClassName, WNDPROC Proc) {
    std::lock_guard<std::recursive_mutex> guard(WindowClassLock());
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!EnsureClassRegistered(ClassName, Proc, instance)) return nullptr;
    return CreateWindowExA(WS_EX_TOOLWINDOW, ClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                           nullptr);
}

void DefaultApplicationMessagePump() {
    PumpWaitingMessages();
}

TApplicationMessagePump gApplicationPump = &DefaultApplicationMessagePump;
TApplicationTerminatedQuery gApplicationTerminated = nullptr;

}  // namespace

HWND CreateSocketWindow(TSocketComponent* Owner) {
    HWND window = MakeHiddenWindow(SocketWindowClassName, &SocketWindowProc);
    if (window && Owner) SetWindowLongA(window, 0, reinterpret_cast<LONG_PTR>(Owner));
    return window;
}

bool DestroySocketWindow(HWND Window) {
    SetWindowLongA(Window, 0, 0);
    return DestroyWindow(Window) != FALSE;
}

void UnregisterSocketWindowClass() {
    std::lock_guard<std::recursive_mutex> guard(WindowClassLock());
    UnregisterClassA(SocketWindowClassName, GetModuleHandleA(nullptr));
}

LRESULT SocketWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* owner = reinterpret_cast<TSocketComponent*>(GetWindowLongA(Window, 0));
    auto* socket = dynamic_cast<TCustomWSocket*>(owner);
    if (!socket) return DefWindowProcA(Window, Msg, WParam, LParam);
    TMessage message{Msg, WParam, LParam, 0};
    socket->DispatchWindowMessage(message);  // may free the socket: only the copy is read after
    return message.Result;
}

HWND AllocateMessageWindow(TWindowMethod Method) {
    HWND window = MakeHiddenWindow(kUtilWindowClassName, &UtilWindowProc);
    if (!window) return nullptr;
    auto* target = new UtilWindowTarget{std::move(Method)};
    SetWindowLongA(window, 0, reinterpret_cast<LONG_PTR>(target));
    return window;
}

void DeallocateMessageWindow(HWND Window) {
    if (!Window) return;
    auto* target = reinterpret_cast<UtilWindowTarget*>(GetWindowLongA(Window, 0));
    SetWindowLongA(Window, 0, 0);
    DestroyWindow(Window);
    delete target;
}

void SetApplicationMessagePump(TApplicationMessagePump Pump) {
    gApplicationPump = Pump ? Pump : &DefaultApplicationMessagePump;
}

void RunApplicationMessagePump() {
    gApplicationPump();
}

void SetApplicationTerminatedQuery(TApplicationTerminatedQuery Query) {
    gApplicationTerminated = Query;
}

bool ApplicationTerminated() {
    return gApplicationTerminated && gApplicationTerminated();
}
