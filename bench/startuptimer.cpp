// Starts a program and prints the milliseconds until its top-level window with the given title is mapped.
// Usage: startuptimer TITLE PROGRAM [ARGS...]   (needs an X display; run without a window manager)
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string windowTitle(Display *display, Window window)
{
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data)
            == Success
        && data) {
        title.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
    }
    return title;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TITLE PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    const int fd = ConnectionNumber(display);
    double elapsed = -1;
    while (elapsed < 0) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && windowTitle(display, event.xmap.window).find(argv[1]) != std::string::npos)
                elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        }
        if (elapsed >= 0)
            break;
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(60) || waitpid(child, nullptr, WNOHANG) == child)
            break;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        timeval timeout{0, 50000};
        select(fd + 1, &fds, nullptr, nullptr, &timeout);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    if (elapsed < 0) {
        std::fprintf(stderr, "window never appeared\n");
        return 1;
    }
    std::printf("%.1f\n", elapsed);
    return 0;
}
