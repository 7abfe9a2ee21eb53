// Window classes and hidden windows, and posting to and dispatching for them.
#include "platform/messages/hidden_windows.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/messages/detail/thread_queue.h"
#include "platform/messages/message_queue.h"
#include "platform/messages/thread_services.h"
#include "platform/messages/ticks.h"

namespace {

HINSTANCE const kProgramInstance = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0x00400000));

std::string Lower(const char* text) {
    std::string s(text);
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

struct ClassKey {
    std::string name;  // lower case
    HINSTANCE instance;
    bool operator<(const ClassKey& o) const {
        if (name != o.name) return name < o.name;
        return std::less<HINSTANCE>()(instance, o.instance);
    }
};

struct ClassRecord {
    WNDCLASSA wndClass{};
    std::string name;  // as registered
    std::string menuName;
    ATOM atom = 0;
    int windowCount = 0;
};

struct WindowRecord {
    ClassKey classKey;
    WNDPROC proc = nullptr;
    std::vector<unsigned char> words;
    LONG_PTR userData = 0;
    LONG_PTR style = 0;
    LONG_PTR exStyle = 0;
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    std::shared_ptr<msgq::ThreadQueue> queue;
};

// Lock order: this registry, then a thread queue.
struct Registry {
    std::mutex mutex;
    std::map<ClassKey, ClassRecord> classes;
    std::unordered_map<HWND, WindowRecord> windows;
    std::uintptr_t nextWindow = 0x10010;
    ATOM nextAtom = 0xC000;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;  // never destroyed: threads may end after static destruction
    return *registry;
}

// The registered class, or classes.end() with ERROR_CLASS_DOES_NOT_EXIST set.
std::map<ClassKey, ClassRecord>::iterator ClassOrErrorLocked(Registry& r, const char* className, HINSTANCE instance) {
    auto it = r.classes.find(ClassKey{Lower(className), instance});
    if (it == r.classes.end()) SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return it;
}

WindowRecord* FindWindowLocked(Registry& r, HWND hwnd) {
    auto it = r.windows.find(hwnd);
    return it == r.windows.end() ? nullptr : &it->second;
}

// The window, or null with ERROR_INVALID_WINDOW_HANDLE set.
WindowRecord* WindowOrErrorLocked(Registry& r, HWND hwnd) {
    WindowRecord* w = FindWindowLocked(r, hwnd);
    if (w == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

void EraseWindowLocked(Registry& r, std::unordered_map<HWND, WindowRecord>::iterator it) {
    auto cls = r.classes.find(it->second.classKey);
    if (cls != r.classes.end()) --cls->second.windowCount;
    it->second.queue->DiscardWindow(it->first);
    r.windows.erase(it);
}

}  // namespace

void msgq::DestroyWindowsOfThread(DWORD threadId) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    for (auto it = r.windows.begin(); it != r.windows.end();) {
        auto next = std::next(it);
        if (it->second.queue->ThreadId() == threadId) EraseWindowLocked(r, it);
        it = next;
    }
}

HINSTANCE GetModuleHandleA(const char*) { return kProgramInstance; }

ATOM RegisterClassA(const WNDCLASSA* wndClass) {
    if (wndClass == nullptr || wndClass->lpszClassName == nullptr || wndClass->lpszClassName[0] == '\0' ||
        wndClass->lpfnWndProc == nullptr || wndClass->cbWndExtra < 0 || wndClass->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    ClassKey key{Lower(wndClass->lpszClassName), wndClass->hInstance};
    if (r.classes.count(key) != 0) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    ClassRecord& rec = r.classes[key];
    rec.wndClass = *wndClass;
    rec.name = wndClass->lpszClassName;
    rec.menuName = wndClass->lpszMenuName != nullptr ? wndClass->lpszMenuName : "";
    rec.atom = r.nextAtom++;
    if (r.nextAtom == 0) r.nextAtom = 0xC000;
    SetLastError(ERROR_SUCCESS);
    return rec.atom;
}

BOOL GetClassInfoA(HINSTANCE instance, const char* className, WNDCLASSA* wndClass) {
    if (className == nullptr || wndClass == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto it = ClassOrErrorLocked(r, className, instance);
    if (it == r.classes.end()) return FALSE;
    *wndClass = it->second.wndClass;
    wndClass->lpszClassName = className;
    wndClass->lpszMenuName = it->second.wndClass.lpszMenuName != nullptr ? it->second.menuName.c_str() : nullptr;
    return TRUE;
}

BOOL UnregisterClassA(const char* className, HINSTANCE instance) {
    if (className == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto it = ClassOrErrorLocked(r, className, instance);
    if (it == r.classes.end()) return FALSE;
    if (it->second.windowCount > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    r.classes.erase(it);
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char*, DWORD style, int, int, int, int, HWND,
                     HMENU menu, HINSTANCE instance, void*) {
    if (className == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    msgq::AttachQtHostOnApplicationThread();
    auto queue = msgq::CurrentQueue();
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    ClassKey key{Lower(className), instance};
    auto cls = r.classes.find(key);
    if (cls == r.classes.end()) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    const HWND hwnd = reinterpret_cast<HWND>(r.nextWindow);
    r.nextWindow += 0x10;
    WindowRecord& w = r.windows[hwnd];
    w.classKey = key;
    w.proc = cls->second.wndClass.lpfnWndProc;
    // Rounded up to whole pointer-wide words, so a class's first word always
    // holds a whole pointer.
    const std::size_t extra = static_cast<std::size_t>(cls->second.wndClass.cbWndExtra);
    w.words.assign((extra + sizeof(LONG_PTR) - 1) / sizeof(LONG_PTR) * sizeof(LONG_PTR), 0);
    w.style = static_cast<LONG_PTR>(style);
    w.exStyle = static_cast<LONG_PTR>(exStyle);
    w.id = reinterpret_cast<LONG_PTR>(menu);
    w.instance = instance;
    w.queue = std::move(queue);
    ++cls->second.windowCount;
    SetLastError(ERROR_SUCCESS);
    return hwnd;
}

BOOL DestroyWindow(HWND hwnd) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto it = r.windows.find(hwnd);
    if (it == r.windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (it->second.queue->ThreadId() != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    EraseWindowLocked(r, it);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    return FindWindowLocked(r, hwnd) != nullptr ? TRUE : FALSE;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    WindowRecord* w = WindowOrErrorLocked(r, hwnd);
    if (w == nullptr) return 0;
    if (processId != nullptr) *processId = GetCurrentProcessId();
    return w->queue->ThreadId();
}

namespace {

LONG_PTR* NamedWord(WindowRecord& w, int index) {
    switch (index) {
        case GWL_USERDATA: return &w.userData;
        case GWL_STYLE: return &w.style;
        case GWL_EXSTYLE: return &w.exStyle;
        case GWL_ID: return &w.id;
        default: return nullptr;
    }
}

// Reads the window word at `index` and, given a replacement, stores that in its
// place. Returns the value the word held (0 and the last error set on failure).
LONG_PTR ExchangeWindowWord(HWND hwnd, int index, std::optional<LONG_PTR> replacement) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    WindowRecord* w = WindowOrErrorLocked(r, hwnd);
    if (w == nullptr) return 0;
    LONG_PTR previous = 0;
    if (index >= 0) {
        const auto offset = static_cast<std::size_t>(index);
        if (offset + sizeof(LONG_PTR) > w->words.size()) {
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
        }
        std::memcpy(&previous, w->words.data() + offset, sizeof previous);
        if (replacement) std::memcpy(w->words.data() + offset, &*replacement, sizeof *replacement);
    } else if (index == GWL_WNDPROC) {
        if (replacement && *replacement == 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        previous = reinterpret_cast<LONG_PTR>(w->proc);
        if (replacement) w->proc = reinterpret_cast<WNDPROC>(*replacement);
    } else if (index == GWL_HINSTANCE) {
        previous = reinterpret_cast<LONG_PTR>(w->instance);
        if (replacement) w->instance = reinterpret_cast<HINSTANCE>(*replacement);
    } else if (LONG_PTR* word = NamedWord(*w, index)) {
        previous = *word;
        if (replacement) *word = *replacement;
    } else {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    SetLastError(ERROR_SUCCESS);
    return previous;
}

}  // namespace

LONG_PTR SetWindowLongA(HWND hwnd, int index, LONG_PTR newValue) { return ExchangeWindowWord(hwnd, index, newValue); }

LONG_PTR GetWindowLongA(HWND hwnd, int index) { return ExchangeWindowWord(hwnd, index, std::nullopt); }

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const MSG m{hwnd, msg, wParam, lParam, GetTickCount(), {0, 0}};
    if (hwnd == nullptr) {
        if (!msgq::CurrentQueue()->Post(m)) {
            SetLastError(ERROR_INVALID_THREAD_ID);
            return FALSE;
        }
        return TRUE;
    }
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    WindowRecord* w = WindowOrErrorLocked(r, hwnd);
    if (w == nullptr) return FALSE;
    if (!w->queue->Post(m)) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) return 0;
    WNDPROC proc = nullptr;
    {
        Registry& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        WindowRecord* w = FindWindowLocked(r, msg->hwnd);
        if (w == nullptr || w->queue->ThreadId() != GetCurrentThreadId()) return 0;
        proc = w->proc;
    }
    // Called without the lock: the procedure may create, destroy or post freely.
    return proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}
