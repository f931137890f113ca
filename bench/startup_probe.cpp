// Starts a program and measures how long it takes until its first top-level
// window is mapped on the X display, and how much memory it peaked at
// shortly afterwards.
//
//   norva-startup-probe [--cwd DIR] [--env NAME=VALUE]... [--timeout SECONDS]
//                       [--settle SECONDS] -- PROGRAM [ARGUMENTS...]
//
// Prints one line, "map_ms=123.4 peak_kb=45678", and exits with 0; on a
// failure (no window in time, the program died, ...) prints "error=..." and
// exits with 1. The program runs with this process's environment plus the
// --env settings, in DIR if given, and is killed (SIGTERM, then SIGKILL) when
// the figures are taken. There must be no window manager: top-level windows
// are then direct children of the root window.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: norva-startup-probe [--cwd DIR] [--env NAME=VALUE]... [--timeout SECONDS] "
                         "[--settle SECONDS] -- PROGRAM [ARGUMENTS...]\n");
    std::exit(2);
}

// Peak resident set size in kB, or -1.
long peakKb(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    FILE *file = std::fopen(path.c_str(), "r");
    if (!file)
        return -1;
    long kb = -1;
    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) {
            kb = std::strtol(line + 6, nullptr, 10);
            break;
        }
    }
    std::fclose(file);
    return kb;
}

// The _NET_WM_PID of a window, or 0 when it has none (or is gone already).
long windowPid(Display *display, Window window)
{
    static const Atom netWmPid = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, netWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data) {
        if (type == XA_CARDINAL && format == 32 && count == 1)
            pid = *reinterpret_cast<long *>(data);
        XFree(data);
    }
    return pid;
}

int ignoreXErrors(Display *, XErrorEvent *)
{
    return 0; // a window may vanish between the event and the property read
}

void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(10 * 1000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

[[noreturn]] void fail(const char *what, pid_t pid)
{
    std::printf("error=%s\n", what);
    std::fflush(stdout);
    if (pid > 0)
        stop(pid);
    std::exit(1);
}

} // namespace

int main(int argc, char *argv[])
{
    const char *cwd = nullptr;
    std::vector<char *> env;
    double timeoutS = 20;
    double settleS = 2;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc)
            usage();
        if (arg == "--cwd")
            cwd = argv[++i];
        else if (arg == "--env")
            env.push_back(argv[++i]);
        else if (arg == "--timeout")
            timeoutS = std::atof(argv[++i]);
        else if (arg == "--settle")
            settleS = std::atof(argv[++i]);
        else
            usage();
    }
    if (i >= argc)
        usage();
    char **command = argv + i;

    Display *display = XOpenDisplay(nullptr);
    if (!display)
        fail("cannot-open-display", 0);
    XSetErrorHandler(ignoreXErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    const int xfd = ConnectionNumber(display);
    fcntl(xfd, F_SETFD, fcntl(xfd, F_GETFD) | FD_CLOEXEC);

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid < 0)
        fail("fork", 0);
    if (pid == 0) {
        if (cwd && chdir(cwd) != 0)
            _exit(126);
        for (char *setting : env)
            putenv(setting);
        const int null = open("/dev/null", O_RDONLY);
        if (null >= 0) {
            dup2(null, STDIN_FILENO);
            close(null);
        }
        execvp(command[0], command);
        _exit(127);
    }

    // Wait for the first map of a top-level window that is not a popup
    // (tooltips and menus are override-redirect) and belongs to the child.
    double mapped = -1;
    while (mapped < 0) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify || event.xmap.event != root || event.xmap.override_redirect)
                continue;
            const long owner = windowPid(display, event.xmap.window);
            if (owner != 0 && owner != pid)
                continue; // somebody else's window
            mapped = nowMs();
            break;
        }
        if (mapped >= 0)
            break;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::printf("error=exited-before-map status=%d\n", status);
            return 1;
        }
        const double left = timeoutS * 1e3 - (nowMs() - start);
        if (left <= 0)
            fail("timeout", pid);
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(xfd, &fds);
        const double waitMs = left < 50 ? left : 50; // also notice the child dying
        timeval tv{time_t(waitMs / 1e3), suseconds_t(1e3 * (waitMs - 1e3 * double(time_t(waitMs / 1e3))))};
        if (select(xfd + 1, &fds, nullptr, nullptr, &tv) < 0 && errno != EINTR)
            fail("select", pid);
    }

    // Let the program settle (first paint, idle work) before reading its peak.
    const double settleEnd = mapped + settleS * 1e3;
    for (double left = settleEnd - nowMs(); left > 0; left = settleEnd - nowMs()) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::printf("error=exited-after-map status=%d\n", status);
            return 1;
        }
        usleep(useconds_t((left < 20 ? left : 20) * 1e3));
    }
    const long kb = peakKb(pid);
    stop(pid);
    XCloseDisplay(display);
    if (kb < 0)
        fail("no-vmhwm", 0);
    std::printf("map_ms=%.1f peak_kb=%ld\n", mapped - start, kb);
    return 0;
}
