#include "desktop/x_probe.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

template <typename T>
std::unique_ptr<T, decltype(&std::free)> Reply(T* reply) {
    return std::unique_ptr<T, decltype(&std::free)>(reply, &std::free);
}

}  // namespace

std::string Describe(const XRect& r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + ".." + std::to_string(r.Right()) + "," +
           std::to_string(r.Bottom());
}

XProbe::XProbe(const std::string& display) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(display.c_str(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    connection_ = connection;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    root_ = it.data->root;
    screen_ = XRect{0, 0, it.data->width_in_pixels, it.data->height_in_pixels};
}

XProbe::~XProbe() {
    if (connection_) xcb_disconnect(connection_);
}

XRect XProbe::Screen() const { return screen_; }

std::uint32_t XProbe::Atom(const char* name) {
    auto reply = Reply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, std::uint16_t(std::strlen(name)), name), nullptr));
    return reply ? std::uint32_t(reply->atom) : std::uint32_t(XCB_ATOM_NONE);
}

std::vector<std::uint32_t> XProbe::Cardinals(std::uint32_t window, const char* property, std::uint32_t type) {
    auto reply = Reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, Atom(property), type, 0, 64), nullptr));
    std::vector<std::uint32_t> values;
    if (!reply || reply->format != 32) return values;
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    values.assign(data, data + xcb_get_property_value_length(reply.get()) / 4);
    return values;
}

std::optional<XRect> XProbe::WorkArea() {
    if (!connection_) return std::nullopt;
    const auto values = Cardinals(root_, "_NET_WORKAREA", XCB_ATOM_CARDINAL);
    if (values.size() < 4) return std::nullopt;
    return XRect{int(values[0]), int(values[1]), int(values[2]), int(values[3])};
}

bool XProbe::WindowManagerRunning() {
    return connection_ && !Cardinals(root_, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).empty() &&
           WorkArea().has_value();
}

std::string XProbe::Title(std::uint32_t window) {
    for (auto [name, type] : {std::pair{"_NET_WM_NAME", Atom("UTF8_STRING")}, std::pair{"WM_NAME", std::uint32_t(XCB_ATOM_STRING)}}) {
        auto reply = Reply(xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, Atom(name), type, 0, 256), nullptr));
        if (reply && xcb_get_property_value_length(reply.get()) > 0)
            return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                               size_t(xcb_get_property_value_length(reply.get())));
    }
    return {};
}

bool XProbe::Viewable(std::uint32_t window) {
    auto reply = Reply(
        xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, window), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

std::vector<std::uint32_t> XProbe::ShownWindowsTitled(const std::string& title) {
    std::vector<std::uint32_t> found;
    if (!connection_) return found;
    // Top-levels are children of the root, or of the frames the window manager made there.
    const std::uint32_t wmState = Atom("WM_STATE");
    auto top = Reply(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr));
    if (!top) return found;
    const xcb_window_t* children = xcb_query_tree_children(top.get());
    for (int i = 0; i < xcb_query_tree_children_length(top.get()); ++i) {
        std::vector<xcb_window_t> candidates{children[i]};
        auto inner = Reply(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, children[i]), nullptr));
        if (inner) {
            const xcb_window_t* grand = xcb_query_tree_children(inner.get());
            candidates.insert(candidates.end(), grand, grand + xcb_query_tree_children_length(inner.get()));
        }
        for (xcb_window_t w : candidates) {
            auto state = Reply(xcb_get_property_reply(
                connection_, xcb_get_property(connection_, 0, w, wmState, wmState, 0, 2), nullptr));
            if (!state || state->format != 32) continue;  // not a client window
            if (Title(w) == title && Viewable(w)) found.push_back(w);
        }
    }
    return found;
}

std::optional<XRect> XProbe::FrameOf(std::uint32_t window) {
    if (!connection_) return std::nullopt;
    auto geometry = Reply(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    auto origin = Reply(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr));
    if (!geometry || !origin) return std::nullopt;
    XRect r{origin->dst_x, origin->dst_y, geometry->width, geometry->height};
    const auto extents = Cardinals(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);  // left, right, top, bottom
    if (extents.size() == 4) {
        r.x -= int(extents[0]);
        r.y -= int(extents[2]);
        r.width += int(extents[0] + extents[1]);
        r.height += int(extents[2] + extents[3]);
    }
    return r;
}

bool XProbe::Maximised(std::uint32_t window) {
    const auto states = Cardinals(window, "_NET_WM_STATE", XCB_ATOM_ATOM);
    int found = 0;
    const std::uint32_t vertical = Atom("_NET_WM_STATE_MAXIMIZED_VERT");
    const std::uint32_t horizontal = Atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    for (std::uint32_t s : states) found += s == vertical || s == horizontal;
    return found == 2;
}
