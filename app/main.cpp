#include "app/PlainStart.h"
#include "app/StartMode.h"
#include "app/widgets/MessageBoxSink.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    const bool automated = IsAutomatedStart(argc, argv);
    // Both starts may show a message box, which needs the application object.
    QApplication application(argc, argv);
    InstallMessageBoxSink();
    if (automated) {
        std::fputs("automated start is not built yet\n", stderr);
        return 1;
    }
    return RunPlainStart();
}
