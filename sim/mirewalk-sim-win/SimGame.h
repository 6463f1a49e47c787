#pragma once

#include <chrono>
#include <span>
#include <string>
#include <string_view>

class CAppletClient;
class CGameLog;

// What the substitute does with one macro.
struct MacroAnswer {
    enum class Outcome { Answered, Refused, Failed };
    Outcome outcome = Outcome::Answered;
    std::wstring reply;
};

// The game's state as the applet can observe it, and the commands that change
// it, one a line from standard input.
class CSimGame {
public:
    struct State {
        bool hasSubject = false;
        std::wstring subjectName;
        bool paused = false;
        // How long the game is busy with each macro before it answers.
        std::chrono::milliseconds answerDelay{0};
    };

    CSimGame(const State& initial, CGameLog& log, CAppletClient& applet);

    // Answers a macro as the game would, or refuses or fails it when told to;
    // logs it either way.
    MacroAnswer AnswerMacro(std::wstring_view macro);
    std::chrono::milliseconds AnswerDelay() const { return m_state.answerDelay; }

    // Runs one command line and logs it with its result: "ok", or "error: "
    // and the reason.
    void Execute(std::wstring_view line);
    bool QuitRequested() const { return m_quitRequested; }
    // The applet's object was still held when the quit came.
    bool ReleasedAtQuit() const { return m_releasedAtQuit; }

private:
    // Each returns an empty text when the command succeeded, or the reason why not.
    std::string Run(std::span<const std::wstring_view> words, std::wstring_view rest);
    std::string SetSubject(bool hasSubject, std::wstring_view name);
    std::string SetPaused(bool paused);
    std::string SetCount(int& count, std::span<const std::wstring_view> words);
    std::string SetDelay(std::span<const std::wstring_view> words);
    std::string Notify(std::span<const std::wstring_view> words);
    std::string NotifyTyped(std::span<const std::wstring_view> words);
    std::string Quit();
    // The answer to a macro the game knows; every other macro is accepted
    // with an empty reply.
    std::wstring ReplyTo(std::wstring_view macro) const;

    State m_state;
    int m_refuseCount = 0;
    int m_failCount = 0;
    bool m_quitRequested = false;
    bool m_releasedAtQuit = false;
    CGameLog& m_log;
    CAppletClient& m_applet;
};
