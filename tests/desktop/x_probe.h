#pragma once
// What the X server and its window manager say about the windows on the screen, read over
// a connection of the test's own (not the program's): the work area, the frame that the
// window manager put around a window, whether it maximised it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct xcb_connection_t;

struct XRect {
    int x = 0, y = 0, width = 0, height = 0;
    int Right() const { return x + width; }    // exclusive
    int Bottom() const { return y + height; }  // exclusive
    bool Inside(const XRect& area) const {
        return x >= area.x && y >= area.y && Right() <= area.Right() && Bottom() <= area.Bottom();
    }
};
std::string Describe(const XRect& r);

class XProbe {
public:
    explicit XProbe(const std::string& display);
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    bool Connected() const { return connection_ != nullptr; }
    XRect Screen() const;
    // The window manager's work area (_NET_WORKAREA), empty while no window manager runs.
    std::optional<XRect> WorkArea();
    bool WindowManagerRunning();
    // The top-level client windows (the ones the window manager framed, or unframed
    // top-levels) whose title is `title`, shown on the screen.
    std::vector<std::uint32_t> ShownWindowsTitled(const std::string& title);
    // The window with the window manager's frame around it, in screen coordinates.
    std::optional<XRect> FrameOf(std::uint32_t window);
    bool Maximised(std::uint32_t window);

private:
    std::uint32_t Atom(const char* name);
    std::vector<std::uint32_t> Cardinals(std::uint32_t window, const char* property, std::uint32_t type);
    std::string Title(std::uint32_t window);
    bool Viewable(std::uint32_t window);

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    XRect screen_;
};
