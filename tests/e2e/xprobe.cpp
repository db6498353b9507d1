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

int Close(Display* display, Window window) {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    return 0;
}
int Maximize(Display* display, Window window) {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // add
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False));
    event.xclient.data.l[2] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
    event.xclient.data.l[3] = 2;  // from a pager or a tool: the user's own request
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
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
