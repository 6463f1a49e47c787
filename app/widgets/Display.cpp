#include "app/widgets/Display.h"

#include "app/widgets/MessageBoxSink.h"

#include <QApplication>
#include <QGuiApplication>

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

bool CanOpenDisplay(int& argc, char** argv) {
    const pid_t child = ::fork();
    if (child == 0) {
        // Qt's account of a display it cannot open is not the user's business,
        // nor is the core dump of the abort that follows it.
        const int nowhere = ::open("/dev/null", O_WRONLY);
        ::dup2(nowhere, STDERR_FILENO);
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        const QGuiApplication probe(argc, argv);
        ::_exit(0);
    }
    if (child < 0) {
        return false;
    }
    int status = 0;
    pid_t ended = -1;
    do {
        ended = ::waitpid(child, &status, 0);
    } while (ended == -1 && errno == EINTR);
    return ended == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::unique_ptr<QCoreApplication> CreateApplication(int& argc, char** argv) {
    if (!CanOpenDisplay(argc, argv)) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    auto application = std::make_unique<QApplication>(argc, argv);
    InstallMessageBoxSink();
    return application;
}

bool HasDisplay() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}
