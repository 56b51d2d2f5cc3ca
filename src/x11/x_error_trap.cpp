// x_error_trap.cpp: the recording X error handler and its span.
#include "x11/x_error_trap.h"

namespace {

int trap_depth = 0;
bool refused = false;
Display* trapped_display = nullptr;
XErrorHandler previous_handler = nullptr;

int record_error(Display*, XErrorEvent*) {
    refused = true;
    return 0;
}

}  // namespace

XErrorTrap::XErrorTrap(Display* display) : display_(display) {
    if (trap_depth++ > 0) return;
    XSync(display_, False);
    refused = false;
    trapped_display = display_;
    previous_handler = XSetErrorHandler(record_error);
}

XErrorTrap::~XErrorTrap() {
    if (--trap_depth > 0) return;
    XSync(display_, False);
    XSetErrorHandler(previous_handler);
    trapped_display = nullptr;
    refused = false;
}

bool x_request_refused() {
    if (trap_depth == 0) return false;
    XSync(trapped_display, False);
    const bool answer = refused;
    refused = false;
    return answer;
}
