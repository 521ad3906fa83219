// SPDX-License-Identifier: GPL-3.0-or-later
// Drives takhmin.exe from outside under Wine (or Windows):
//   takhmin_wine_driver roads PROGRAM [TEXT]  walks every road of the shared
//       table (those whose name holds TEXT), each from a fresh start;
//   takhmin_wine_driver checks PROGRAM DPI  runs this face's own checks
//       (FaceChecks.h) on a screen of DPI dots to the inch; rectangles
//       PROGRAM DPI only the rectangles;
//   takhmin_wine_driver startup PROGRAM BARE [ROUNDS]  prints the time from
//       start until the first window shows, the program's beside that of a
//       bare Win32 window (takhmin_bare_window), as medians and a paired
//       ratio with its quartiles and range;
//   takhmin_wine_driver shots PROGRAM  takes the program to each window in
//       turn and, for each, prints "shot NAME LEFT TOP WIDTH HEIGHT" (the
//       window's frame on the screen) and waits for a line on its input, so
//       that the caller can take the picture.
// Exits with 0 when everything held.
#include "FaceChecks.h"
#include "Roads.h"
#include "Win32Driver.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <fcntl.h>
#include <fstream>
#include <io.h>
#include <objbase.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Roads that ask what a screen reader was told are walked without those
// steps, which this driver cannot observe (Win32Driver.h); the output says
// how many were left out of each road.
int walkRoads(const std::wstring& program, const std::string& only) {
    int passed = 0, failed = 0, unheard = 0;
    for (const roads::Road& full : roads::desktopRoads()) {
        if (full.name.find(only) == std::string::npos)
            continue;
        roads::Road road{full.name, {}};
        int skipped = 0;
        for (const auto& step : full.steps)
            if (step.at(0) == "said")
                ++skipped;
            else
                road.steps.push_back(step);
        unheard += skipped;
        std::optional<std::string> failure;
        const ULONGLONG began = GetTickCount64();
        try {
            wine::Win32Driver driver(program);
            failure = roads::walk(driver, road);
        } catch (const std::exception& error) {
            failure = error.what();
        }
        const std::string note =
            (skipped ? " (" + std::to_string(skipped) + " \"said\" steps not observed)" : "") +
            " [" + std::to_string(GetTickCount64() - began) + " ms]";
        if (failure) {
            ++failed;
            print("FAIL " + road.name + note + ": " + *failure);
        } else {
            ++passed;
            print("ok   " + road.name + note);
        }
    }
    print(std::to_string(passed) + " roads passed, " + std::to_string(failed) + " failed; " +
          std::to_string(unheard) +
          " \"said\" steps not observed: the program raises UI Automation notifications, "
          "which this driver does not listen to and Wine 8 does not have");
    return failed == 0 && passed > 0 ? 0 : 1;
}

// The steps from a fresh start to the form's window, from the table.
roads::Road startOf(app::FormId form) {
    std::ifstream file(TAKHMIN_ROADS);
    if (!file)
        throw std::runtime_error("cannot read " TAKHMIN_ROADS);
    const auto table = nlohmann::json::parse(file);
    const std::string name(app::formName(form));
    roads::Road road{"start of " + name, {}};
    for (const auto& step : table.at("starts").at(name))
        road.steps.push_back(step);
    return road;
}

// Waits until the caller has taken the picture of `window`.
void shoot(const std::string& name, HWND window) {
    if (!window)
        throw std::runtime_error("no window for " + name);
    RECT frame;
    GetWindowRect(window, &frame);
    print("shot " + name + " " + std::to_string(frame.left) + " " + std::to_string(frame.top) +
          " " + std::to_string(frame.right - frame.left) + " " +
          std::to_string(frame.bottom - frame.top));
    char answer[16];
    if (!std::fgets(answer, sizeof answer, stdin))
        throw std::runtime_error("no answer to " + name);
}

int takeShots(const std::wstring& program) {
    using enum app::FormId;
    struct Shot {
        app::FormId form;
        // The steps after the window's start in the table of roads, that
        // fill it as it looks in use.
        void (*fill)(wine::Win32Driver&);
    };
    const Shot shots[] = {
        {Form1, [](wine::Win32Driver& d) { d.type(Form1, "Text1", "25"); }},
        {Form8, nullptr},
        {Form2, nullptr},
        {Form3, nullptr},
        {Form4, nullptr},
        {Form5, nullptr},
        {Form6,
         [](wine::Win32Driver& d) {
             d.type(Form6, "Text1", "2064");
             d.click(Form6, "Command1");
         }},
        {Form7, nullptr},
        {Form9,
         [](wine::Win32Driver& d) {
             d.type(Form9, "Text1", "5");
             d.type(Form9, "Text2", "3");
             d.click(Form9, "Command4");
         }},
    };
    for (const Shot& shot : shots) {
        wine::Win32Driver driver(program);
        const std::string name(app::formName(shot.form));
        if (const auto failed = roads::walk(driver, startOf(shot.form)))
            throw std::runtime_error(name + ": " + *failed);
        if (shot.fill)
            shot.fill(driver);
        driver.settle();
        shoot(name, driver.window(shot.form));
        if (shot.form == Form9) {
            // The message a failed step leaves, beside the calculator.
            driver.type(Form9, "Text2", "0");
            driver.click(Form9, "Command4");
            driver.settle();
            shoot("failure", driver.failureWindow());
        }
    }
    return 0;
}

// Milliseconds from CreateProcess until the program's first window is
// visible; the program is ended afterwards.
double timeToFirstWindow(const std::wstring& program) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        throw std::runtime_error("cannot start " + wine::toUtf8(program));
    struct Search {
        DWORD process;
        bool found;
    } search{process.dwProcessId, false};
    for (int polls = 0; polls < 20000 && !search.found; ++polls) {
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto& search = *reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == search.process && IsWindowVisible(window))
                    search.found = true;
                return !search.found;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(1);
    }
    QueryPerformanceCounter(&now);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!search.found)
        throw std::runtime_error("no window from " + wine::toUtf8(program));
    return double(now.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// The q-quantile of `values` (0 <= q <= 1), between the two nearest ranks.
double quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    const double rank = q * double(values.size() - 1);
    const size_t below = size_t(rank);
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (rank - double(below));
}

// Starts the program and the bare window in turn, `rounds` times each after
// one start of each that is not counted, and prints the median time of each,
// and the median of the paired ratios with their quartiles and range.
int measureStartup(const std::wstring& program, const std::wstring& bare, int rounds) {
    if (rounds < 1)
        throw std::runtime_error("startup needs at least one round");
    timeToFirstWindow(program);
    timeToFirstWindow(bare);
    std::vector<double> own, plain, ratios;
    for (int round = 0; round < rounds; ++round) {
        // Which goes first alternates, so that neither always finds the
        // other's files warm.
        double a, b;
        if (round % 2 == 0) {
            a = timeToFirstWindow(program);
            b = timeToFirstWindow(bare);
        } else {
            b = timeToFirstWindow(bare);
            a = timeToFirstWindow(program);
        }
        own.push_back(a);
        plain.push_back(b);
        ratios.push_back(a / b);
    }
    char line[300];
    std::snprintf(line, sizeof line,
                  "start-up to the first window, medians of %d pairs: takhmin.exe %.1f ms, bare "
                  "window %.1f ms; paired ratio %.3f, quartiles %.3f to %.3f, range %.3f to %.3f",
                  rounds, quantile(own, 0.5), quantile(plain, 0.5), quantile(ratios, 0.5),
                  quantile(ratios, 0.25), quantile(ratios, 0.75), quantile(ratios, 0),
                  quantile(ratios, 1));
    print(line);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    // Lines end in LF alone, for the shell that reads them.
    _setmode(_fileno(stdout), _O_BINARY);
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    try {
        if (mode == L"roads" && argc > 2)
            return walkRoads(argv[2], argc > 3 ? wine::toUtf8(argv[3]) : std::string());
        if (mode == L"shots" && argc > 2)
            return takeShots(argv[2]);
        if (mode == L"checks" && argc > 3) {
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            const UINT dpi = UINT(std::wcstoul(argv[3], nullptr, 10));
            const int failures = wine::checkRectangles(argv[2], dpi) +
                                 wine::checkAccessibility(argv[2]) + wine::checkKeyboard(argv[2]) +
                                 wine::checkTextBoxes(argv[2]);
            print(std::to_string(failures) + " checks failed");
            return failures == 0 ? 0 : 1;
        }
        if (mode == L"startup" && argc > 3)
            return measureStartup(argv[2], argv[3],
                                  argc > 4 ? int(std::wcstol(argv[4], nullptr, 10)) : 20);
        if (mode == L"rectangles" && argc > 3) {
            const int failures =
                wine::checkRectangles(argv[2], UINT(std::wcstoul(argv[3], nullptr, 10)));
            print(std::to_string(failures) + " checks failed");
            return failures == 0 ? 0 : 1;
        }
    } catch (const std::exception& error) {
        print(std::string("error: ") + error.what());
        return 1;
    }
    print("usage: takhmin_wine_driver roads PROGRAM [TEXT] | shots PROGRAM | checks PROGRAM DPI"
          " | rectangles PROGRAM DPI | startup PROGRAM BARE [ROUNDS]");
    return 2;
}
