#include "core/MessageBox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
MessageSink g_sink = nullptr;

bool MessagesGoToStderr() {
    const char* mode = std::getenv("SPLICEBOX_MESSAGES");
    return mode != nullptr && std::strcmp(mode, "stderr") == 0;
}
} // namespace

void SetMessageSink(MessageSink sink) {
    g_sink = sink;
}

void ShowMessage(const char* text, MessageKind kind) {
    if (g_sink != nullptr && !MessagesGoToStderr()) {
        g_sink(text, kind);
        return;
    }
    std::fprintf(stderr, "Splicebox: %s\n", text);
    std::fflush(stderr);
}
