// The least of a window manager that a drag needs: it maps and places the
// windows as asked, says it supports _NET_WM_MOVERESIZE, and on that request
// moves the window with the pointer the way real window managers do, from
// where window and pointer are when the request arrives. Each move it starts
// is printed ("move WINDOW from X,Y ...") so a script can see who moved what.
//
//   widget_drag_window_manager     (runs on $DISPLAY until killed)

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

xcb_connection_t* connection = nullptr;

xcb_atom_t atom(const char* name) {
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

constexpr uint32_t kMoveResizeMove = 8;

struct Move {
    xcb_window_t window = XCB_WINDOW_NONE;
    int windowX = 0, windowY = 0;
    int pointerX = 0, pointerY = 0;
};

void place(const Move& move, int pointerX, int pointerY) {
    const int32_t at[] = {move.windowX + (pointerX - move.pointerX), move.windowY + (pointerY - move.pointerY)};
    const uint32_t values[] = {uint32_t(at[0]), uint32_t(at[1])};
    xcb_configure_window(connection, move.window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
}

void configure(const xcb_configure_request_event_t* request) {
    uint32_t values[7];
    int n = 0;
    const uint16_t mask = request->value_mask;
    if (mask & XCB_CONFIG_WINDOW_X) values[n++] = uint32_t(int32_t(request->x));
    if (mask & XCB_CONFIG_WINDOW_Y) values[n++] = uint32_t(int32_t(request->y));
    if (mask & XCB_CONFIG_WINDOW_WIDTH) values[n++] = request->width;
    if (mask & XCB_CONFIG_WINDOW_HEIGHT) values[n++] = request->height;
    if (mask & XCB_CONFIG_WINDOW_BORDER_WIDTH) values[n++] = request->border_width;
    if (mask & XCB_CONFIG_WINDOW_SIBLING) values[n++] = request->sibling;
    if (mask & XCB_CONFIG_WINDOW_STACK_MODE) values[n++] = request->stack_mode;
    xcb_configure_window(connection, request->window, mask, values);
}

}  // namespace

int main() {
    int screenNumber = 0;
    connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) return 2;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
    const xcb_window_t root = it.data->root;

    const uint32_t redirect = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t* error =
            xcb_request_check(connection, xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK,
                                                                               &redirect))) {
        std::free(error);
        std::fprintf(stderr, "another window manager is running\n");
        return 1;
    }

    // What clients read to learn that a window manager runs and what it does.
    const xcb_window_t check = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, check, root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t supportingCheck = atom("_NET_SUPPORTING_WM_CHECK");
    const xcb_atom_t moveResize = atom("_NET_WM_MOVERESIZE");
    const char name[] = "corvane-drag-wm";
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, check, supportingCheck, XCB_ATOM_WINDOW, 32, 1, &check);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, check, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
                        uint32_t(std::strlen(name)), name);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, supportingCheck, XCB_ATOM_WINDOW, 32, 1, &check);
    const xcb_atom_t supported[] = {supportingCheck, moveResize};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 32, 2,
                        supported);
    xcb_flush(connection);
    std::printf("ready\n");
    std::fflush(stdout);

    Move move;
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        switch (event->response_type & 0x7f) {
            case XCB_MAP_REQUEST:
                xcb_map_window(connection, reinterpret_cast<xcb_map_request_event_t*>(event)->window);
                break;
            case XCB_CONFIGURE_REQUEST:
                configure(reinterpret_cast<xcb_configure_request_event_t*>(event));
                break;
            case XCB_CLIENT_MESSAGE: {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                if (message->type != moveResize || message->format != 32 ||
                    message->data.data32[2] != kMoveResizeMove)
                    break;
                // Everything the client asked before this request has been
                // carried out by now: requests arrive in order.
                std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
                    xcb_get_geometry_reply(connection, xcb_get_geometry(connection, message->window), nullptr),
                    &std::free);
                if (!geometry) break;
                move = {message->window, geometry->x, geometry->y, int(int32_t(message->data.data32[0])),
                        int(int32_t(message->data.data32[1]))};
                std::unique_ptr<xcb_grab_pointer_reply_t, decltype(&std::free)> grab(
                    xcb_grab_pointer_reply(
                        connection,
                        xcb_grab_pointer(connection, 0, root,
                                         XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_BUTTON_RELEASE,
                                         XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE, XCB_CURSOR_NONE,
                                         XCB_CURRENT_TIME),
                        nullptr),
                    &std::free);
                if (!grab || grab->status != XCB_GRAB_STATUS_SUCCESS) {
                    move.window = XCB_WINDOW_NONE;
                    break;
                }
                std::printf("move 0x%x from %d,%d with the pointer at %d,%d\n", unsigned(move.window), move.windowX,
                            move.windowY, move.pointerX, move.pointerY);
                std::fflush(stdout);
                // The pointer may have gone on before the grab.
                std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> pointer(
                    xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr), &std::free);
                if (pointer) place(move, pointer->root_x, pointer->root_y);
                break;
            }
            case XCB_MOTION_NOTIFY: {
                const auto* motion = reinterpret_cast<xcb_motion_notify_event_t*>(event);
                if (move.window != XCB_WINDOW_NONE) place(move, motion->root_x, motion->root_y);
                break;
            }
            case XCB_BUTTON_RELEASE: {
                const auto* release = reinterpret_cast<xcb_button_release_event_t*>(event);
                if (move.window == XCB_WINDOW_NONE) break;
                place(move, release->root_x, release->root_y);
                xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
                move.window = XCB_WINDOW_NONE;
                break;
            }
            default:
                break;
        }
        std::free(event);
        xcb_flush(connection);
    }
    return 0;
}
