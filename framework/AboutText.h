#pragma once

#include <string>

// The About message of an applet: its caption, the word "version" in the
// user's language with the version text, and the build it comes from.
std::string FormatAboutText(const std::string& caption, const std::string& version);
