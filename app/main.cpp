#include "app/PlainStart.h"
#include "app/StartMode.h"
#include "app/widgets/MessageBoxSink.h"
#include "app/widgets/SpliceboxApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    const bool automated = IsAutomatedStart(argc, argv);
    // Both starts may show a message box, which needs the application object.
    QApplication application(argc, argv);
    InstallMessageBoxSink();
    if (automated) {
        return RunAutomatedStart();
    }
    return RunPlainStart();
}
