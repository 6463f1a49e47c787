#pragma once

#include <functional>
#include <string>

// The window title: caption, " - ", the subject's name (asked for only when
// there is a subject) or "No Subject", then " (PAUSED)" while paused, in the
// user's language. Empty when asking for the name raises CKitException.
std::string ComposeTitle(const std::string& caption, bool hasSubject, bool paused,
                         const std::function<std::string()>& querySubjectName);
