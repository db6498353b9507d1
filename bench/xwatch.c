/* A small X client that times a program's start-up and its new game, for
 * bench/startup.sh. Run it on an X server with no window manager.
 *
 *   xwatch start SECONDS -- PROGRAM [ARGS...]
 *       Starts the program and prints, in one line,
 *         map_ms=N paint_ms=N rss_kb=N pid=N window=0xID
 *       map_ms: from just before the fork to the first top-level window
 *       being mapped; paint_ms: to the first time that window shows more
 *       than one colour (checked at each damage report); rss_kb: the
 *       program's resident memory SECONDS after the fork. The program is
 *       left running; the caller ends it.
 *
 *   xwatch newgame WINDOW COUNT click X Y
 *   xwatch newgame WINDOW COUNT key KEYSYM [MODIFIER-KEYSYM]
 *       COUNT times: clicks at (X, Y) in the window (or presses the key),
 *       then waits until the middle of the window (the middle half in both
 *       directions) differs from what it showed before the press; prints
 *       each time in ms from the release to that repaint, one per line.
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <fcntl.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static int damage_event, damage_error;

/* Waits for the next X event until deadline_ms; returns 0 on timeout. */
static int next_event(Display* d, XEvent* ev, double deadline_ms) {
    while (!XPending(d)) {
        double left = deadline_ms - now_ms();
        if (left <= 0) return 0;
        struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
        poll(&p, 1, (int)(left + 1));
    }
    XNextEvent(d, ev);
    return 1;
}

/* Waits for the next damage report and clears it, so the one after is
 * reported too; returns 0 on timeout. */
static int next_damage(Display* d, double deadline_ms) {
    XEvent ev;
    while (next_event(d, &ev, deadline_ms))
        if (ev.type == damage_event + XDamageNotify) {
            XDamageSubtract(d, ((XDamageNotifyEvent*)&ev)->damage, None, None);
            return 1;
        }
    return 0;
}

typedef struct {
    int x, y, w, h;
} Rect;

static XImage* grab(Display* d, Window w, Rect r) {
    return XGetImage(d, w, r.x, r.y, (unsigned)r.w, (unsigned)r.h, AllPlanes, ZPixmap);
}

static int same_image(XImage* a, XImage* b) {
    if (!a || !b) return 0;
    for (int y = 0; y < a->height; ++y)
        if (memcmp(a->data + y * a->bytes_per_line, b->data + y * b->bytes_per_line, (size_t)a->width * 4) != 0)
            return 0;
    return 1;
}

static int more_than_one_colour(XImage* img) {
    if (!img) return 0;
    unsigned long first = XGetPixel(img, 0, 0);
    for (int y = 0; y < img->height; ++y)
        for (int x = 0; x < img->width; ++x)
            if (XGetPixel(img, x, y) != first) return 1;
    return 0;
}

static long rss_kb(pid_t pid) {
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE* f = fopen(path, "r");
    if (!f) return -1;
    long kb = -1;
    while (fgets(line, sizeof line, f))
        if (sscanf(line, "VmRSS: %ld", &kb) == 1) break;
    fclose(f);
    return kb;
}

static int start(Display* d, double seconds, char** argv) {
    Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);
    double t0 = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        /* The program outlives this probe: it must not hold the caller's
         * output open. */
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvp(argv[0], argv);
        _exit(127);
    }
    double deadline = t0 + 20000, map_ms = -1, paint_ms = -1;
    Window win = 0;
    XEvent ev;
    while (map_ms < 0 && next_event(d, &ev, deadline)) {
        if (ev.type != MapNotify || ev.xmap.override_redirect || ev.xmap.event != root) continue;
        map_ms = now_ms() - t0;
        win = ev.xmap.window;
    }
    if (win) {
        XWindowAttributes a;
        XGetWindowAttributes(d, win, &a);
        XDamageCreate(d, win, XDamageReportNonEmpty);
        XSync(d, False);
        Rect all = {0, 0, a.width, a.height};
        for (;;) {
            XImage* img = grab(d, win, all);
            int painted = more_than_one_colour(img);
            if (img) XDestroyImage(img);
            if (painted) {
                paint_ms = now_ms() - t0;
                break;
            }
            if (!next_damage(d, deadline)) break;
        }
    }
    double until = t0 + seconds * 1000;
    while (now_ms() < until) usleep(10000);
    printf("map_ms=%.1f paint_ms=%.1f rss_kb=%ld pid=%d window=0x%lx\n", map_ms, paint_ms, rss_kb(pid), (int)pid,
           (unsigned long)win);
    return win ? 0 : 1;
}

static void press(Display* d, Window win, char** how, double* released) {
    if (strcmp(how[0], "click") == 0) {
        int x = atoi(how[1]), y = atoi(how[2]), rx, ry;
        Window child;
        XTranslateCoordinates(d, win, DefaultRootWindow(d), x, y, &rx, &ry, &child);
        XTestFakeMotionEvent(d, -1, rx, ry, 0);
        XTestFakeButtonEvent(d, 1, True, 0);
        XSync(d, False);
        usleep(20000);
        XTestFakeButtonEvent(d, 1, False, 0);
    } else {
        KeyCode key = XKeysymToKeycode(d, XStringToKeysym(how[1]));
        KeyCode mod = how[2] ? XKeysymToKeycode(d, XStringToKeysym(how[2])) : 0;
        if (mod) XTestFakeKeyEvent(d, mod, True, 0);
        XTestFakeKeyEvent(d, key, True, 0);
        XSync(d, False);
        usleep(20000);
        XTestFakeKeyEvent(d, key, False, 0);
        if (mod) XTestFakeKeyEvent(d, mod, False, 0);
    }
    XSync(d, False);
    *released = now_ms();
}

static int newgame(Display* d, Window win, int count, char** how) {
    XWindowAttributes a;
    XGetWindowAttributes(d, win, &a);
    Rect middle = {a.width / 4, a.height / 4, a.width / 2, a.height / 2};
    Damage damage = XDamageCreate(d, win, XDamageReportNonEmpty);
    /* Keys go to the window under the pointer when there is no window
     * manager to give out the focus. */
    int rx, ry;
    Window child;
    XTranslateCoordinates(d, win, DefaultRootWindow(d), a.width / 2, a.height / 2, &rx, &ry, &child);
    XTestFakeMotionEvent(d, -1, rx, ry, 0);
    XSetInputFocus(d, win, RevertToPointerRoot, CurrentTime);
    XSync(d, False);
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        usleep(300000); /* let the last game settle */
        XEvent ev;
        while (XPending(d)) XNextEvent(d, &ev);
        XDamageSubtract(d, damage, None, None); /* so the next damage is reported */
        XSync(d, False);
        XImage* before = grab(d, win, middle);
        double released, done = -1;
        press(d, win, how, &released);
        double deadline = released + 10000;
        for (;;) {
            XImage* img = grab(d, win, middle);
            int changed = !same_image(before, img);
            if (img) XDestroyImage(img);
            if (changed) {
                done = now_ms();
                break;
            }
            if (!next_damage(d, deadline)) break;
        }
        if (before) XDestroyImage(before);
        if (done < 0) {
            ++failures;
            printf("timeout\n");
        } else {
            printf("%.2f\n", done - released);
        }
        fflush(stdout);
    }
    return failures ? 1 : 0;
}

int main(int argc, char** argv) {
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "xwatch: no display\n");
        return 2;
    }
    if (!XDamageQueryExtension(d, &damage_event, &damage_error)) {
        fprintf(stderr, "xwatch: the server has no DAMAGE extension\n");
        return 2;
    }
    if (argc >= 5 && strcmp(argv[1], "start") == 0 && strcmp(argv[3], "--") == 0)
        return start(d, atof(argv[2]), argv + 4);
    if (argc >= 6 && strcmp(argv[1], "newgame") == 0)
        return newgame(d, (Window)strtoul(argv[2], NULL, 0), atoi(argv[3]), argv + 4);
    fprintf(stderr, "usage: xwatch start SECONDS -- PROGRAM [ARGS...]\n"
                    "       xwatch newgame WINDOW COUNT click X Y | key KEYSYM [MODIFIER]\n");
    return 2;
}
