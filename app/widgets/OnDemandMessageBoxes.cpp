#include "app/widgets/OnDemandMessageBoxes.h"

#include "app/widgets/Display.h"

namespace {
// The message sink is a plain function; it reaches the living object here.
COnDemandMessageBoxes* g_current = nullptr;
} // namespace

COnDemandMessageBoxes::COnDemandMessageBoxes(int& argc, char** argv) : m_argc(argc), m_argv(argv) {
    g_current = this;
    SetMessageSink(&ShowFirst);
}

COnDemandMessageBoxes::~COnDemandMessageBoxes() {
    SetMessageSink(nullptr);
    g_current = nullptr;
}

void COnDemandMessageBoxes::CreateApplicationNow() {
    // From now on messages go where the application object sends them: to
    // message boxes, or to standard error when it has no display.
    SetMessageSink(nullptr);
    m_application = CreateApplication(m_argc, m_argv);
}

void COnDemandMessageBoxes::ShowFirst(const char* text, MessageKind kind) {
    g_current->CreateApplicationNow();
    ShowMessage(text, kind);
}
