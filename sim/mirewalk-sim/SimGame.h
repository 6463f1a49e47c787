#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

class CAppletClient;
class CMacroLog;

// What the substitute does with one macro.
struct SimMacroAnswer {
    enum class Outcome { Answered, Refused, Failed };
    Outcome outcome = Outcome::Answered;
    QString reply;
};

// The game's state as the applet can observe it, and the commands that change
// it. Commands arrive one a line from standard input or the control interface.
class CSimGame : public QObject {
    Q_OBJECT
public:
    struct State {
        bool hasSubject = false;
        QString subjectName;
        bool paused = false;
        // How long the game is busy with each macro before it answers.
        std::chrono::milliseconds answerDelay{0};
    };

    // A delay given as seconds, such as "3" or "0.5"; nothing when the text is
    // not one, or is negative or longer than kMaxAnswerDelay.
    static std::optional<std::chrono::milliseconds> ParseDelay(const QString& seconds);
    // Far longer than any test or person waits for one macro.
    static constexpr std::chrono::hours kMaxAnswerDelay{1};

    CSimGame(const State& initial, CMacroLog& log, CAppletClient& applet);

    // Answers a macro as the game would, or refuses or fails it when asked to;
    // logs it either way.
    SimMacroAnswer AnswerMacro(const QString& macro);
    std::chrono::milliseconds AnswerDelay() const { return m_state.answerDelay; }

    // Runs one command line; returns "ok", or "error: " and the reason.
    QString Execute(const QString& line);

Q_SIGNALS:
    void QuitRequested();

private:
    QString Run(const QString& command, const QStringList& words, const QString& rest);
    QString SetSubject(bool hasSubject, const QString& name);
    QString SetPaused(bool paused);
    QString Notify(const QStringList& words);
    // The answer to a macro the game knows; every other macro is accepted
    // with an empty reply.
    QString ReplyTo(const QString& macro) const;

    State m_state;
    int m_refuseCount = 0;
    int m_failCount = 0;
    CMacroLog& m_log;
    CAppletClient& m_applet;
};
