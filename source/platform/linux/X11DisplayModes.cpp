#include "platform/linux/X11DisplayModes.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <vector>

namespace platform {

namespace {

struct CrtcState {
    RRCrtc crtc = 0;
    RRMode mode = 0;
    int x = 0;
    int y = 0;
    Rotation rotation = RR_Rotate_0;
    std::vector<RROutput> outputs;
};

int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

CrtcState readCrtc(Display* display, XRRScreenResources* resources, RRCrtc crtc) {
    CrtcState state;
    state.crtc = crtc;
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, crtc);
    if (info == nullptr) return state;
    state.mode = info->mode;
    state.x = info->x;
    state.y = info->y;
    state.rotation = info->rotation;
    state.outputs.assign(info->outputs, info->outputs + info->noutput);
    XRRFreeCrtcInfo(info);
    return state;
}

bool sameCrtc(const CrtcState& a, const CrtcState& b) {
    return a.mode == b.mode && a.x == b.x && a.y == b.y && a.rotation == b.rotation && a.outputs == b.outputs;
}

void rootSize(Display* display, Window root, int* width, int* height) {
    Window ignoredRoot = 0;
    int x = 0, y = 0;
    unsigned int w = 0, h = 0, border = 0, depth = 0;
    XGetGeometry(display, root, &ignoredRoot, &x, &y, &w, &h, &border, &depth);
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
}

}  // namespace

struct X11DisplayModes::State {
    Display* display = nullptr;
    Window root = 0;
    int width = 0;
    int height = 0;
    int widthMm = 0;
    int heightMm = 0;
    std::vector<CrtcState> crtcs;
};

bool X11DisplayModes::screenCanHold(int width, int height) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return true;
    int eventBase = 0, errorBase = 0;
    int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
    bool fits = true;
    if (XRRQueryExtension(display, &eventBase, &errorBase) &&
        XRRGetScreenSizeRange(display, DefaultRootWindow(display), &minWidth, &minHeight, &maxWidth, &maxHeight))
        fits = width >= minWidth && height >= minHeight && width <= maxWidth && height <= maxHeight;
    XCloseDisplay(display);
    return fits;
}

X11DisplayModes::X11DisplayModes() = default;

X11DisplayModes::~X11DisplayModes() {
    if (_state && _state->display != nullptr) XCloseDisplay(_state->display);
}

bool X11DisplayModes::take() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        major < 1 || (major == 1 && minor < 2)) {
        XCloseDisplay(display);
        return false;
    }
    auto state = std::make_unique<State>();
    state->display = display;
    const int screen = DefaultScreen(display);
    state->root = RootWindow(display, screen);
    rootSize(display, state->root, &state->width, &state->height);
    state->widthMm = DisplayWidthMM(display, screen);
    state->heightMm = DisplayHeightMM(display, screen);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, state->root);
    if (resources == nullptr) {
        XCloseDisplay(display);
        return false;
    }
    for (int i = 0; i < resources->ncrtc; ++i)
        state->crtcs.push_back(readCrtc(display, resources, resources->crtcs[i]));
    XRRFreeScreenResources(resources);
    if (_state && _state->display != nullptr) XCloseDisplay(_state->display);
    _state = std::move(state);
    return true;
}

bool X11DisplayModes::putBack() {
    if (!_state) return true;
    Display* display = _state->display;
    // An error here must not end the process through Xlib's default handler.
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(ignoreXError);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, _state->root);
    bool restored = resources != nullptr;
    if (restored) {
        int width = 0, height = 0;
        rootSize(display, _state->root, &width, &height);
        // The screen must hold the recorded CRTCs before they are set, and shrinks after.
        const int largerWidth = std::max(width, _state->width);
        const int largerHeight = std::max(height, _state->height);
        if (largerWidth != width || largerHeight != height)
            XRRSetScreenSize(display, _state->root, largerWidth, largerHeight, _state->widthMm,
                             _state->heightMm);
        for (const CrtcState& wanted : _state->crtcs) {
            if (sameCrtc(readCrtc(display, resources, wanted.crtc), wanted)) continue;
            const Status status =
                XRRSetCrtcConfig(display, resources, wanted.crtc, CurrentTime, wanted.x, wanted.y,
                                 wanted.mode, wanted.rotation, const_cast<RROutput*>(wanted.outputs.data()),
                                 static_cast<int>(wanted.outputs.size()));
            restored = restored && status == RRSetConfigSuccess;
        }
        if (largerWidth != _state->width || largerHeight != _state->height)
            XRRSetScreenSize(display, _state->root, _state->width, _state->height, _state->widthMm,
                             _state->heightMm);
        XRRFreeScreenResources(resources);
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    return restored;
}

}  // namespace platform
