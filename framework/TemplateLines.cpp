#include "framework/TemplateLines.h"

#include "core/KitException.h"
#include "res/EmbeddedResources.h"

#include <charconv>
#include <utility>

CTemplateLines::CTemplateLines(std::string_view text, std::string resourceName)
    : m_rest(text), m_resourceName(std::move(resourceName)) {}

bool CTemplateLines::Next(std::vector<TemplateToken>& tokens) {
    while (!m_rest.empty()) {
        const auto end = m_rest.find('\n');
        std::string_view line = m_rest.substr(0, end);
        m_rest = end == std::string_view::npos ? std::string_view{} : m_rest.substr(end + 1);
        ++m_lineNumber;
        tokens = Split(line);
        if (!tokens.empty() && !(!tokens.front().quoted && tokens.front().text.starts_with('#'))) {
            return true;
        }
    }
    return false;
}

void CTemplateLines::Fail(const char* what) const {
    ThrowString("Error in resource \"%s\", line %d: %s", m_resourceName.c_str(), m_lineNumber,
                what);
}

int CTemplateLines::Number(const TemplateToken& token, int min, int max) const {
    int value = 0;
    const char* first = token.text.data();
    const char* last = first + token.text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (token.quoted || error != std::errc{} || end != last || value < min || value > max) {
        Fail("number expected");
    }
    return value;
}

const std::string& CTemplateLines::Text(const TemplateToken& token) const {
    if (!token.quoted) {
        Fail("quoted text expected");
    }
    return token.text;
}

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

char Unescaped(char c) {
    return c == 'n' ? '\n' : c == 't' ? '\t' : c;
}
} // namespace

std::vector<TemplateToken> CTemplateLines::Split(std::string_view line) const {
    std::vector<TemplateToken> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        TemplateToken token;
        if (line[i] != '"') {
            while (i < line.size() && !IsBlank(line[i])) {
                token.text += line[i++];
            }
            tokens.push_back(std::move(token));
            continue;
        }
        token.quoted = true;
        for (++i;; ++i) {
            if (i >= line.size()) {
                Fail("unclosed quote");
            }
            if (line[i] == '"') {
                break;
            }
            if (line[i] == '\\' && i + 1 < line.size()) {
                ++i;
                token.text += Unescaped(line[i]);
            } else {
                token.text += line[i];
            }
        }
        ++i;
        tokens.push_back(std::move(token));
    }
    return tokens;
}

namespace {
std::string ResourceName(const char* folder, int id, Language language) {
    return std::string(folder) + "/" + std::to_string(id) + "." + LanguageCode(language) + ".txt";
}
} // namespace

std::optional<TemplateResource> FindTemplateResource(const char* folder, int id,
                                                     Language language) {
    for (Language candidate : {language, Language::English}) {
        std::string name = ResourceName(folder, id, candidate);
        if (auto text = FindEmbeddedResource(name)) {
            return TemplateResource{std::move(name), *text};
        }
    }
    return std::nullopt;
}
