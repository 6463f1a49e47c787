#include "bench/startup/StartupChild.h"

#include "app/widgets/MessageBoxSink.h"
#include "ui/widgets/InjectorSheet.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <utility>

namespace {

// The Agents page's tab, after the cover page.
constexpr int kAgentsPageIndex = 1;

// Calls `action` once, when the watched widget is first shown.
class CFirstShow : public QObject {
public:
    explicit CFirstShow(std::function<void()> action) : m_action(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && m_action) {
            std::exchange(m_action, nullptr)();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Prints the share of one core that the process uses over the next `seconds`,
// then ends the event loop.
void MeasureIdle(int seconds) {
    const double cpuStart = CpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    QTimer::singleShot(std::chrono::seconds(seconds), [cpuStart, wallStart] {
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallStart;
        std::printf("cpu %.6f\n", (CpuSeconds() - cpuStart) / wall.count());
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}

int RunSheet(const std::function<void(CInjectorSheet&)>& onShown) {
    CInjectorSheet sheet("Splicebox");
    CFirstShow firstShow([&] { onShown(sheet); });
    sheet.installEventFilter(&firstShow);
    if (!sheet.Create()) {
        return 1;
    }
    return QApplication::exec();
}

} // namespace

int RunStartupChild(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 0;
    if (std::strcmp(mode, "--window") != 0 && std::strcmp(mode, "--idle") != 0 &&
        std::strcmp(mode, "--idle-baseline") != 0) {
        return -1;
    }
    QApplication application(argc, argv);
    InstallMessageBoxSink();
    if (std::strcmp(mode, "--idle-baseline") == 0) {
        MeasureIdle(seconds);
        return QApplication::exec();
    }
    if (std::strcmp(mode, "--idle") == 0) {
        return RunSheet([seconds](CInjectorSheet& sheet) {
            sheet.SetActivePage(kAgentsPageIndex);
            MeasureIdle(seconds);
        });
    }
    return RunSheet([](CInjectorSheet&) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("shown %lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}
