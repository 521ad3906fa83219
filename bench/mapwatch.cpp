// SPDX-License-Identifier: GPL-3.0-or-later
// Usage: takhmin_mapwatch PROGRAM [ARGUMENTS...]
//
// Starts PROGRAM on the X display named by DISPLAY and waits for the first
// top-level window of that process to be mapped. Prints one line, "<wall
// microseconds from start to map> <peak resident kB> <CPU microseconds>", the
// last two as they stand at that moment, then ends the program. Run it on a
// display of its own: with no window manager the program's own window is the
// root's child that gets mapped, so watching the root's substructure sees it
// the moment the server maps it.
//
// With TAKHMIN_MAPWATCH_SETTLE_MS set, it lets the program run that long
// after the map and adds the peak resident kB and CPU microseconds then, to
// take in work the program does once its window is up.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

constexpr int timeoutMs = 20000;

long long nowMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000LL + now.tv_nsec / 1000;
}

// The process's peak resident set size so far, in kB.
long peakResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// CPU time the process has used so far, all its threads together, in
// microseconds. Unlike the wall-clock time it hardly changes when other work
// shares the machine, so it tells a slower program from a busier machine.
long long cpuMicroseconds(pid_t pid) {
    long long total = 0;
    std::error_code error;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        long long nanoseconds = 0;
        if (schedstat >> nanoseconds)
            total += nanoseconds;
    }
    return total / 1000;
}

// The _NET_WM_PID a client put on its window; Qt sets it on every top-level
// window, so a window of another client is never taken for the program's.
std::optional<pid_t> windowPid(Display* display, Window window) {
    const Atom property = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::optional<pid_t> pid;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &remaining, &data) == Success &&
        type == XA_CARDINAL && format == 32 && count == 1)
        pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

// Starts the program; returns its pid once exec has succeeded, or -1. A pipe
// closed on exec tells the two apart: EOF means the exec went through.
pid_t launch(char** argv) {
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(report[0]);
        execvp(argv[0], argv);
        const int error = errno;
        [[maybe_unused]] const auto ignored = write(report[1], &error, sizeof error);
        _exit(127);
    }
    close(report[1]);
    int error = 0;
    const ssize_t got = pid > 0 ? read(report[0], &error, sizeof error) : 0;
    close(report[0]);
    if (pid < 0 || got > 0) {
        std::fprintf(stderr, "mapwatch: cannot start %s: %s\n", argv[0],
                     std::strerror(pid < 0 ? errno : error));
        if (pid > 0)
            waitpid(pid, nullptr, 0);
        return -1;
    }
    return pid;
}

// SIGTERM first, so that a program run under a profiler such as callgrind
// still writes out its figures; SIGKILL if it is not gone within seconds.
void stop(pid_t pid) {
    kill(pid, SIGTERM);
    for (int waited = 0; waited < 500; ++waited) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(20000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "mapwatch: cannot open display\n");
        return 2;
    }
    // Listening before the program starts, so that no map can be missed.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const long long started = nowMicroseconds();
    const pid_t pid = launch(argv + 1);
    if (pid < 0)
        return 1;

    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify)
                continue;
            const long long mapped = nowMicroseconds();
            const long peak = peakResidentKb(pid);
            const long long cpu = cpuMicroseconds(pid);
            const auto owner = windowPid(display, event.xmap.window);
            if (owner && *owner != pid)
                continue;
            if (const char* settle = std::getenv("TAKHMIN_MAPWATCH_SETTLE_MS")) {
                usleep(static_cast<useconds_t>(std::atoi(settle)) * 1000);
                const long settledPeak = peakResidentKb(pid);
                const long long settledCpu = cpuMicroseconds(pid);
                stop(pid);
                std::printf("%lld %ld %lld %ld %lld\n", mapped - started, peak, cpu, settledPeak,
                            settledCpu);
                XCloseDisplay(display);
                return 0;
            }
            stop(pid);
            std::printf("%lld %ld %lld\n", mapped - started, peak, cpu);
            XCloseDisplay(display);
            return 0;
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "mapwatch: %s ended before mapping a window\n", argv[1]);
            return 1;
        }
        if (nowMicroseconds() - started > timeoutMs * 1000LL) {
            std::fprintf(stderr, "mapwatch: no window from %s within %d ms\n", argv[1], timeoutMs);
            stop(pid);
            return 1;
        }
        poll(&connection, 1, 50);
    }
}
