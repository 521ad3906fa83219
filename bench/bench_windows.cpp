// SPDX-License-Identifier: GPL-3.0-or-later
// Building and using the biggest window, the puzzle (Form6), through the same
// form registry and Qt adapter as the program. Run it on the offscreen platform
// (scripts/bench does). Prints medians in microseconds and compares loading
// a window with one frame at 60 Hz.
//
// Measured, with the entry window shown as at start:
//   load+show         Load and Show of Form6 from its table (widgets built,
//                     native window created and shown);
//   load+show+paint   the same and the event processing that paints it;
//   puzzle click      Command1 with 2064 in Text1: four reads (Text1
//                     three times, Label12 once), the conversions and two
//                     writes.
// The first load of the run is printed on its own: it also fills the glyph
// and style caches that later loads find ready.
#include "app/FormRegistry.h"
#include "desktop/Appearance.h"
#include "desktop/QtWindowSystem.h"
#include "desktop/Window.h"
#include "screens/Screens.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using enum app::FormId;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double frameMicroseconds = 1e6 / 60;

double microsecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

// Lets deferred deletions and queued window-system events (expose, paint) run.
void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform warns at every raise(); writing that out would be
// timed with the window it is about.
void dropRaiseWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QLatin1String("does not support raise()")))
        defaultHandler(type, context, message);
}

void print(const char* what, const std::vector<double>& samples) {
    const double value = median(samples);
    std::printf("%-16s %9.1f us  (%.3f of a frame, median of %zu)\n", what, value,
                value / frameMicroseconds, samples.size());
}

} // namespace

int main(int argc, char* argv[]) {
    defaultHandler = qInstallMessageHandler(dropRaiseWarnings);
    QApplication application(argc, argv);
    desktop::prepareApplication(application);
    const int asked = qEnvironmentVariableIntValue("TAKHMIN_BENCH_WINDOW_RUNS");
    const int repeats = asked > 0 ? asked : 201;

    app::FormRegistry registry(screens::allForms());
    desktop::QtWindowSystem windows(registry);
    registry.start(windows);
    settle();

    Clock::time_point start = Clock::now();
    registry.show(Form6);
    const double firstLoad = microsecondsSince(start);
    settle();
    const double firstLoadAndPaint = microsecondsSince(start);
    registry.unload(Form6);
    settle();

    std::vector<double> loads;
    std::vector<double> paints;
    for (int i = 0; i < repeats; ++i) {
        start = Clock::now();
        registry.show(Form6);
        loads.push_back(microsecondsSince(start));
        settle();
        paints.push_back(microsecondsSince(start));
        registry.unload(Form6);
        settle();
    }

    registry.show(Form6);
    settle();
    desktop::Window* puzzle = windows.window(Form6);
    auto* result = qobject_cast<QLineEdit*>(puzzle->control(puzzle->description().rowOf("Text1")));
    auto* second = qobject_cast<QLabel*>(puzzle->control(puzzle->description().rowOf("Label12")));
    auto* first = qobject_cast<QLabel*>(puzzle->control(puzzle->description().rowOf("Label13")));
    auto* find =
        qobject_cast<QPushButton*>(puzzle->control(puzzle->description().rowOf("Command1")));
    std::vector<double> clicks;
    for (int i = 0; i < repeats; ++i) {
        // Empty answers each time, so that both writes change a label.
        second->clear();
        first->clear();
        result->setText(QStringLiteral("2064"));
        start = Clock::now();
        find->click();
        clicks.push_back(microsecondsSince(start));
        settle();
    }
    if (second->text() != QLatin1String("79") || first->text() != QLatin1String("21")) {
        std::fprintf(stderr, "puzzle click gave %s and %s, not 79 and 21\n",
                     qPrintable(second->text()), qPrintable(first->text()));
        return 1;
    }

    std::printf("%-16s %9.1f us  (%.3f of a frame)\n", "first load+show", firstLoad,
                firstLoad / frameMicroseconds);
    std::printf("%-16s %9.1f us  (%.3f of a frame)\n", "first with paint", firstLoadAndPaint,
                firstLoadAndPaint / frameMicroseconds);
    print("load+show", loads);
    print("load+show+paint", paints);
    print("puzzle click", clicks);
    const double slowest = std::max(firstLoadAndPaint, median(paints));
    std::printf("loading and painting Form6 %s within one frame\n",
                slowest < frameMicroseconds ? "fits" : "DOES NOT fit");
    return 0;
}
