// Drops one file on a window the way a file manager does, through the X drag-and-drop protocol
// (XDND), which xdotool cannot speak. Usage: xdnd_drop <window id> <root x> <root y> <file path>
// Exit status 0 when the target accepted the drop, 1 when it refused it, 2 on any other trouble.
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

xcb_connection_t* g_connection = nullptr;

xcb_atom_t atom(const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(g_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(g_connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

void sendMessage(xcb_window_t target, xcb_atom_t type, const std::uint32_t (&data)[5]) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = target;
    event.type = type;
    std::memcpy(event.data.data32, data, sizeof data);
    xcb_send_event(g_connection, 0, target, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(g_connection);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 5) {
        std::fputs("usage: xdnd_drop <window id> <root x> <root y> <file path>\n", stderr);
        return 2;
    }
    const auto target = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    const auto x = static_cast<std::uint32_t>(std::atoi(argv[2]));
    const auto y = static_cast<std::uint32_t>(std::atoi(argv[3]));
    const std::string uriList = std::string("file://") + argv[4] + "\r\n";

    int screenNumber = 0;
    g_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(g_connection) != 0) {
        return 2;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(g_connection)).data;
    const xcb_window_t source = xcb_generate_id(g_connection);
    xcb_create_window(g_connection, XCB_COPY_FROM_PARENT, source, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t selection = atom("XdndSelection");
    const xcb_atom_t uriType = atom("text/uri-list");
    const xcb_atom_t copy = atom("XdndActionCopy");
    xcb_set_selection_owner(g_connection, source, selection, XCB_CURRENT_TIME);

    sendMessage(target, atom("XdndEnter"), {source, 5u << 24, uriType, XCB_ATOM_NONE, XCB_ATOM_NONE});
    sendMessage(target, atom("XdndPosition"), {source, 0, (x << 16) | y, XCB_CURRENT_TIME, copy});

    const xcb_atom_t status = atom("XdndStatus");
    const xcb_atom_t finished = atom("XdndFinished");
    const xcb_atom_t drop = atom("XdndDrop");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_poll_for_event(g_connection),
                                                                               &std::free);
        if (!event) {
            if (xcb_connection_has_error(g_connection) != 0) {
                return 2;
            }
            struct timespec pause {
                0, 10'000'000
            };
            nanosleep(&pause, nullptr);
            continue;
        }
        const int type = event->response_type & 0x7F;
        if (type == XCB_CLIENT_MESSAGE) {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event.get());
            if (message->type == status) {
                // Accepted or not, the drop is made: a refusal must come back as one.
                sendMessage(target, drop, {source, 0, XCB_CURRENT_TIME, 0, 0});
            } else if (message->type == finished) {
                return (message->data.data32[1] & 1u) != 0 ? 0 : 1;
            }
        } else if (type == XCB_SELECTION_REQUEST) {
            const auto* request = reinterpret_cast<xcb_selection_request_event_t*>(event.get());
            xcb_selection_notify_event_t notify{};
            notify.response_type = XCB_SELECTION_NOTIFY;
            notify.time = request->time;
            notify.requestor = request->requestor;
            notify.selection = request->selection;
            notify.target = request->target;
            notify.property = XCB_ATOM_NONE;
            if (request->target == uriType) {
                xcb_change_property(g_connection, XCB_PROP_MODE_REPLACE, request->requestor, request->property, uriType,
                                    8, static_cast<std::uint32_t>(uriList.size()), uriList.data());
                notify.property = request->property;
            }
            xcb_send_event(g_connection, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&notify));
            xcb_flush(g_connection);
        }
    }
    return 2;
}
