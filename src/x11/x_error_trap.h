// x_error_trap.h: server refusals during the loading of a picture set are
// recorded instead of ending the program. Only inside such a span: outside
// it Xlib's default handler stays, and an error still ends the game.
#pragma once

#include <X11/Xlib.h>

// Installs the recording handler for its lifetime. Spans may nest; the
// outermost one puts the previous handler back. Both ends wait for the
// server, so errors of requests made before the span are not taken for its
// own, and none of its own arrive after it.
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

private:
    Display* display_;
};

// Waits until the server has answered every request so far, and tells
// whether it refused any since the trap was set or this was last asked.
// False, without a round trip, when no trap is set.
bool x_request_refused();
