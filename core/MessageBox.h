#pragma once

// How a message box looks: the warning of ReportError or the information of About.
enum class MessageKind { Warning, Information };

// Shows a modal message box with one OK button under the title "Splicebox" and
// returns when it is closed. Portable code calls this; the widget layer installs
// the real box with SetMessageSink. With SPLICEBOX_MESSAGES=stderr, or before a
// sink is installed, the text goes to standard error as "Splicebox: <text>".
void ShowMessage(const char* text, MessageKind kind);

using MessageSink = void (*)(const char* text, MessageKind kind);
void SetMessageSink(MessageSink sink);
