#include "sim/mirewalk-sim-win/SimGame.h"

#include "gamelink/GameContract.h"
#include "sim/mirewalk-sim-win/AppletClient.h"
#include "sim/mirewalk-sim-win/CommandWords.h"
#include "sim/mirewalk-sim-win/GameLog.h"
#include "sim/mirewalk-sim-win/NotificationValue.h"
#include "sim/mirewalk-sim-win/WinSimContract.h"
#include "sim/mirewalk-sim-win/WinText.h"

#include <algorithm>

namespace {

// Far more than any test refuses or fails in a row, far below overflow.
constexpr unsigned long kMaxCount = 1000000;
// A VARTYPE is 16 bits.
constexpr unsigned long kMaxVarType = 0xFFFF;

std::string JoinWords(std::span<const std::wstring_view> words) {
    std::string text;
    for (const std::wstring_view word : words) {
        text += (text.empty() ? "" : " ") + ToUtf8(word);
    }
    return text;
}

} // namespace

CSimGame::CSimGame(const State& initial, CGameLog& log, CAppletClient& applet)
    : m_state(initial), m_log(log), m_applet(applet) {}

MacroAnswer CSimGame::AnswerMacro(std::wstring_view macro) {
    // A failed call pre-empts a refusal: the call never reaches the game.
    if (m_failCount > 0) {
        --m_failCount;
        m_log.Write(WinSimContract::kLogFailed, macro);
        return {MacroAnswer::Outcome::Failed, {}};
    }
    if (m_refuseCount > 0) {
        --m_refuseCount;
        m_log.Write(WinSimContract::kLogRefused, macro);
        return {MacroAnswer::Outcome::Refused, {}};
    }
    m_log.Write(WinSimContract::kLogMacro, macro);
    return {MacroAnswer::Outcome::Answered, ReplyTo(macro)};
}

std::wstring CSimGame::ReplyTo(std::wstring_view macro) const {
    const auto flag = [](bool on) { return std::wstring(on ? L"1" : L"0"); };
    if (macro == ToWide(GameContract::kMacroQuerySubject)) {
        return flag(m_state.hasSubject);
    }
    if (macro == ToWide(GameContract::kMacroQueryPaused)) {
        return flag(m_state.paused);
    }
    if (macro == ToWide(GameContract::kMacroQuerySubjectName)) {
        return m_state.hasSubject ? m_state.subjectName : std::wstring();
    }
    return {};
}

void CSimGame::Execute(std::wstring_view line) {
    const std::wstring_view trimmed = TrimSpace(line);
    const std::vector<std::wstring_view> words = SplitWords(trimmed);
    const std::wstring_view command = words.empty() ? std::wstring_view() : words.front();
    const std::wstring_view rest = TrimSpace(trimmed.substr(command.size()));
    const std::string failure = Run(words, rest);
    const std::string result = failure.empty() ? std::string(WinSimContract::kResultOk)
                                               : WinSimContract::kErrorPrefix + failure;
    m_log.Write(WinSimContract::kLogEvent, "command " + ToUtf8(trimmed) + " -> " + result);
}

std::string CSimGame::Run(std::span<const std::wstring_view> words, std::wstring_view rest) {
    const std::wstring_view command = words.empty() ? std::wstring_view() : words.front();
    if (command == L"subject") {
        return rest.empty() ? "subject needs a name" : SetSubject(true, rest);
    }
    if (command == L"no-subject") {
        return SetSubject(false, {});
    }
    if (command == L"pause" || command == L"resume") {
        return SetPaused(command == L"pause");
    }
    if (command == L"refuse") {
        return SetCount(m_refuseCount, words);
    }
    if (command == L"fail") {
        return SetCount(m_failCount, words);
    }
    if (command == L"delay") {
        return SetDelay(words);
    }
    if (command == L"create-object") {
        return m_applet.CreateObject();
    }
    if (command == L"notify") {
        return Notify(words);
    }
    if (command == L"notify-variant" || command == L"notify-direct") {
        return NotifyTyped(words);
    }
    if (command == L"release") {
        return m_applet.Release();
    }
    if (command == L"quit") {
        return Quit();
    }
    return "unknown command \"" + ToUtf8(command) + '"';
}

std::string CSimGame::SetSubject(bool hasSubject, std::wstring_view name) {
    m_state.hasSubject = hasSubject;
    m_state.subjectName = name;
    if (m_applet.HoldsObject()) {
        m_applet.Notify(
            {GameContract::kNotificationOnly, GameContract::kNotifySubjectChanged, 0, 0});
    }
    return {};
}

std::string CSimGame::SetPaused(bool paused) {
    const bool changed = paused != m_state.paused;
    m_state.paused = paused;
    if (changed && m_applet.HoldsObject()) {
        m_applet.Notify({GameContract::kNotificationOnly, GameContract::kNotifyPauseChanged,
                         static_cast<std::uint8_t>(paused ? 1 : 0), 0});
    }
    return {};
}

std::string CSimGame::SetCount(int& count, std::span<const std::wstring_view> words) {
    const auto value = words.size() == 2 ? ParseNumber(words[1], kMaxCount) : std::nullopt;
    if (!value) {
        return ToUtf8(words[0]) + " needs one count";
    }
    count = static_cast<int>(*value);
    return {};
}

std::string CSimGame::SetDelay(std::span<const std::wstring_view> words) {
    const auto delay = words.size() == 2 ? ParseDelay(words[1]) : std::nullopt;
    if (!delay) {
        return "delay needs a number of seconds up to an hour";
    }
    m_state.answerDelay = *delay;
    return {};
}

std::string CSimGame::Notify(std::span<const std::wstring_view> words) {
    const auto bytes = ParseNotificationBytes(words.subspan(1));
    return bytes ? m_applet.Notify(*bytes) : "notify needs four bytes 0 to 255";
}

std::string CSimGame::NotifyTyped(std::span<const std::wstring_view> words) {
    const auto type = words.size() > 1 ? ParseNumber(words[1], kMaxVarType) : std::nullopt;
    const auto bytes =
        ParseNotificationBytes(words.subspan(std::min<std::size_t>(2, words.size())));
    if (!type || !bytes) {
        return ToUtf8(words[0]) + " needs a type and four bytes 0 to 255";
    }
    const auto varType = static_cast<VARTYPE>(*type);
    if (!CNotificationValue::CanCarry(varType)) {
        return ToUtf8(words[0]) + " cannot carry four bytes in type " + std::to_string(*type);
    }
    CNotificationValue value(varType, *bytes);
    const auto passing = words[0] == L"notify-direct" ? CAppletClient::Passing::Direct
                                                      : CAppletClient::Passing::ByReference;
    return m_applet.Notify(value, passing, JoinWords(words));
}

std::string CSimGame::Quit() {
    m_releasedAtQuit = m_applet.HoldsObject();
    while (m_applet.HoldsObject()) {
        m_applet.Release();
    }
    m_quitRequested = true;
    return {};
}
