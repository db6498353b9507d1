// A small X client for the end-to-end test: reads a window's pixels and asks
// a window to close the way a window manager does.
//
//   xprobe board WINDOW    prints "<face pixels> <checksum> <x> <y> <x> <y>":
//                          the light (tile face) pixels of the board, a
//                          checksum of the board, and two points to click on
//                          (the rightmost and the leftmost tile)
//   xprobe window WINDOW [X Y W H]
//                          prints a checksum of the whole window, or of the
//                          box given
//   xprobe close WINDOW    sends WM_DELETE_WINDOW
//   xprobe maximize WINDOW asks the window manager to maximise the window, as
//                          its title bar's button does
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {
int Whole(Display* display, Window window, char** box) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 1;
    int x0 = 0, y0 = 0, width = attributes.width, height = attributes.height;
    if (box) {
        x0 = std::atoi(box[0]), y0 = std::atoi(box[1]), width = std::atoi(box[2]), height = std::atoi(box[3]);
        if (x0 < 0 || y0 < 0 || width < 1 || height < 1 || x0 + width > attributes.width ||
            y0 + height > attributes.height)
            return 2;
    }
    XImage* image = XGetImage(display, window, x0, y0, width, height, AllPlanes, ZPixmap);
    if (!image) return 1;
    uint64_t sum = 1469598103934665603ull;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) sum = (sum ^ (XGetPixel(image, x, y) & 0xFFFFFF)) * 1099511628211ull;
    std::printf("%016llx\n", static_cast<unsigned long long>(sum));
    XDestroyImage(image);
    return 0;
}

int Board(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 1;
    const int width = attributes.width, height = attributes.height;
    XImage* image = XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image) return 1;
    // The board's drawing area: from (10, 50), 7 + 2 pixels short of the
    // right edge and 31 + 2 short of the bottom.
    const int left = 10, top = 50, right = width - 10, bottom = height - 34;
    long bright = 0;
    uint64_t sum = 1469598103934665603ull;
    int maxX = -1, maxY = 0, minX = width, minY = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF;
            sum = (sum ^ (pixel & 0xFFFFFF)) * 1099511628211ull;
            if (r > 150 && g > 150) {  // a face of any tile set; the board is green
                ++bright;
                if (x > maxX) maxX = x, maxY = y;
                if (x < minX) minX = x, minY = y;
            }
        }
    }
    std::printf("%ld %016llx %d %d %d %d\n", bright, static_cast<unsigned long long>(sum), maxX - 12, maxY + 12,
                minX + 12, minY + 12);
    XDestroyImage(image);
    return 0;
}

// A client message about `window` of the type named, with its data, sent
// to `to` with the event mask given.
void SendMessage(Display* display, Window window, const char* type, std::initializer_list<long> data, Window to,
                 long mask) {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, type, False);
    event.xclient.format = 32;
    int k = 0;
    for (const long value : data) event.xclient.data.l[k++] = value;
    XSendEvent(display, to, False, mask, &event);
    XFlush(display);
}

long Atom(Display* display, const char* name) { return static_cast<long>(XInternAtom(display, name, False)); }

int Close(Display* display, Window window) {
    SendMessage(display, window, "WM_PROTOCOLS", {Atom(display, "WM_DELETE_WINDOW"), CurrentTime}, window, NoEventMask);
    return 0;
}

// Asks the window manager to maximise the window, as the user would from a
// pager or a tool (source 2).
int Maximize(Display* display, Window window) {
    SendMessage(display, window, "_NET_WM_STATE",
                {1 /* add */, Atom(display, "_NET_WM_STATE_MAXIMIZED_VERT"), Atom(display, "_NET_WM_STATE_MAXIMIZED_HORZ"), 2},
                DefaultRootWindow(display), SubstructureRedirectMask | SubstructureNotifyMask);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 7 && std::strcmp(argv[1], "window") == 0)) {
        std::fprintf(stderr, "usage: xprobe board|window|close|maximize WINDOW, or xprobe window WINDOW X Y W H\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    const Window window = static_cast<Window>(std::strtoul(argv[2], nullptr, 0));
    const int result = std::strcmp(argv[1], "board") == 0 ? Board(display, window)
                       : std::strcmp(argv[1], "window") == 0 ? Whole(display, window, argc == 7 ? argv + 3 : nullptr)
                       : std::strcmp(argv[1], "close") == 0  ? Close(display, window)
                       : std::strcmp(argv[1], "maximize") == 0 ? Maximize(display, window)
                                                              : 2;
    XCloseDisplay(display);
    return result;
}
