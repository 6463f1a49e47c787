#include "app/CommandLineInfo.h"
#include "app/DisplayPlatform.h"
#include "app/PlainStart.h"
#include "app/StartMode.h"
#include "app/widgets/Display.h"
#include "app/widgets/OnDemandMessageBoxes.h"
#include "app/widgets/SpliceboxApp.h"

int main(int argc, char** argv) {
    if (const auto answered = AnswerInformationRequest(argc, argv)) {
        return *answered;
    }
    ApplyQtPlatformChoice();
    if (IsAutomatedStart(argc, argv)) {
        const auto application = CreateApplication(argc, argv);
        return RunAutomatedStart();
    }
    // Registering needs no display: it works from a terminal or an install script.
    COnDemandMessageBoxes messages(argc, argv);
    if (IsWineStart(argc, argv)) {
        // The bridge is reached over the bus through Qt, which wants its
        // application object first.
        messages.CreateApplicationNow();
        return RunWinePlainStart();
    }
    return RunPlainStart();
}
