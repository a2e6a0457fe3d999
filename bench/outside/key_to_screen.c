/* Times, from outside the program, what a user waits for: from a key sent to the focused
 * window (as a keyboard would, through the X server) to the first drawing into a new
 * top-level window of the given title. Prints the milliseconds, or fails after 10 s.
 *
 *   key_to_screen KEY TITLE      KEY as xdotool names it: Return, ctrl+c, alt+c
 *
 * Built with the project (bench/CMakeLists.txt), so that it compiles wherever the rest
 * does; run.sh takes it from the build folder. */
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/XTest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static int ignoreErrors(Display* d, XErrorEvent* e) {
    (void)d;
    (void)e; /* a window gone before we looked at it */
    return 0;
}

static KeyCode code(Display* d, const char* name) {
    const char* alias = strcmp(name, "ctrl") == 0    ? "Control_L"
                        : strcmp(name, "alt") == 0   ? "Alt_L"
                        : strcmp(name, "shift") == 0 ? "Shift_L"
                                                     : name;
    KeySym sym = XStringToKeysym(alias);
    if (sym == NoSymbol) {
        fprintf(stderr, "unknown key %s\n", name);
        exit(2);
    }
    return XKeysymToKeycode(d, sym);
}

static int titled(Display* d, Window w, const char* title) {
    char* name = NULL;
    int same = XFetchName(d, w, &name) && name && strcmp(name, title) == 0;
    if (name) XFree(name);
    return same;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: key_to_screen KEY TITLE\n");
        return 2;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) return 2;
    XSetErrorHandler(ignoreErrors);
    int damageBase, errorBase;
    if (!XDamageQueryExtension(d, &damageBase, &errorBase)) {
        fprintf(stderr, "no DAMAGE extension\n");
        return 2;
    }
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);

    KeyCode keys[4];
    int n = 0;
    char names[64];
    snprintf(names, sizeof names, "%s", argv[1]);
    for (char* part = strtok(names, "+"); part && n < 4; part = strtok(NULL, "+"))
        keys[n++] = code(d, part);
    const double t0 = now();
    for (int i = 0; i < n; ++i)
        XTestFakeKeyEvent(d, keys[i], True, 0);
    for (int i = n - 1; i >= 0; --i)
        XTestFakeKeyEvent(d, keys[i], False, 0);
    XFlush(d);

    alarm(10); /* no such window: killed, with a non-zero status */
    for (;;) {
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == CreateNotify && e.xcreatewindow.parent == DefaultRootWindow(d)) {
            /* The program's new window: watched before it can be mapped and drawn. */
            XDamageCreate(d, e.xcreatewindow.window, XDamageReportNonEmpty);
            XSync(d, False);
        } else if (e.type == damageBase + XDamageNotify) {
            const double t1 = now();
            const XDamageNotifyEvent* de = (const XDamageNotifyEvent*)&e;
            if (titled(d, de->drawable, argv[2])) {
                printf("%.1f\n", (t1 - t0) * 1e3);
                return 0;
            }
        }
    }
}
