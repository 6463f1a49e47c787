#pragma once

#include "platform/Locale.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One word of a template line, or one double-quoted text with its escapes
// (\" \\ \n \t) undone.
struct TemplateToken {
    std::string text;
    bool quoted = false;
};

// Reads the statements of a dialog or menu template file: one statement a
// line, blank lines and lines starting with '#' skipped. Errors are
// CKitException naming the resource and the line.
class CTemplateLines {
public:
    CTemplateLines(std::string_view text, std::string resourceName);

    // The next statement split into tokens; false after the last one.
    bool Next(std::vector<TemplateToken>& tokens);

    [[noreturn]] void Fail(const char* what) const;
    // A decimal integer token within [min, max].
    int Number(const TemplateToken& token, int min, int max) const;
    // A quoted text token.
    const std::string& Text(const TemplateToken& token) const;

private:
    std::vector<TemplateToken> Split(std::string_view line) const;

    std::string_view m_rest;
    std::string m_resourceName;
    int m_lineNumber = 0;
};

// A compiled-in template file: its resource name and its text.
struct TemplateResource {
    std::string name;
    std::string_view text;
};

// "<folder>/<id>.<language code>.txt", or the English one when the language
// has none; nullopt when neither exists.
std::optional<TemplateResource> FindTemplateResource(const char* folder, int id, Language language);
