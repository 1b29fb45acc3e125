#include "widget/DesktopHints.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <cstring>

namespace corvane {

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

}  // namespace

void applyDesktopWidgetHints(QWindow* window) {
    if (!window || !qGuiApp) return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return;
    xcb_connection_t* connection = x11->connection();
    const auto id = xcb_window_t(window->winId());

    // Qt merges its own states (below, from the window flags) into what is
    // already set on the unmapped window, so these survive the show.
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    std::array<xcb_atom_t, 3> states{internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                     internAtom(connection, "_NET_WM_STATE_SKIP_PAGER"),
                                     internAtom(connection, "_NET_WM_STATE_STICKY")};
    if (state != XCB_ATOM_NONE)
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, uint32_t(states.size()),
                            states.data());

    // All workspaces.
    const xcb_atom_t desktop = internAtom(connection, "_NET_WM_DESKTOP");
    const uint32_t everywhere = 0xFFFFFFFFu;
    if (desktop != XCB_ATOM_NONE)
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1, &everywhere);
    xcb_flush(connection);
}

}  // namespace corvane
