#include "sim/mirewalk-sim/SimGame.h"

#include "gamelink/GameContract.h"
#include "sim/mirewalk-sim/AppletClient.h"
#include "sim/mirewalk-sim/MacroLog.h"
#include "sim/mirewalk-sim/SimContract.h"

#include <QRegularExpression>

namespace {

QString Error(const QString& reason) {
    return QLatin1String(SimContract::kErrorPrefix) + reason;
}

QString Result(const QString& failure) {
    return failure.isEmpty() ? QLatin1String(SimContract::kResultOk) : Error(failure);
}

// A count or a byte: a decimal number in [0, max]; -1 when the word is not one.
int ParseNumber(const QString& word, int max) {
    bool valid = false;
    const int value = word.toInt(&valid);
    return valid && value >= 0 && value <= max ? value : -1;
}

// Far more than any test refuses or fails in a row, far below overflow.
constexpr int kMaxCount = 1000000;

} // namespace

std::optional<std::chrono::milliseconds> CSimGame::ParseDelay(const QString& seconds) {
    bool valid = false;
    const double value = seconds.toDouble(&valid);
    const std::chrono::duration<double> delay(value);
    // Written this way round, "nan" fails both comparisons.
    if (!valid || !(delay >= delay.zero() && delay <= kMaxAnswerDelay)) {
        return std::nullopt;
    }
    return std::chrono::round<std::chrono::milliseconds>(delay);
}

CSimGame::CSimGame(const State& initial, CMacroLog& log, CAppletClient& applet)
    : m_state(initial), m_log(log), m_applet(applet) {}

SimMacroAnswer CSimGame::AnswerMacro(const QString& macro) {
    // A failed call pre-empts a refusal: the call never reaches the game.
    if (m_failCount > 0) {
        --m_failCount;
        m_log.Write(SimContract::kLogFailed, macro);
        return {SimMacroAnswer::Outcome::Failed, {}};
    }
    if (m_refuseCount > 0) {
        --m_refuseCount;
        m_log.Write(SimContract::kLogRefused, macro);
        return {SimMacroAnswer::Outcome::Refused, {}};
    }
    m_log.Write(SimContract::kLogMacro, macro);
    return {SimMacroAnswer::Outcome::Answered, ReplyTo(macro)};
}

QString CSimGame::ReplyTo(const QString& macro) const {
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    if (macro == QLatin1String(GameContract::kMacroQuerySubject)) {
        return flag(m_state.hasSubject);
    }
    if (macro == QLatin1String(GameContract::kMacroQueryPaused)) {
        return flag(m_state.paused);
    }
    if (macro == QLatin1String(GameContract::kMacroQuerySubjectName)) {
        return m_state.hasSubject ? m_state.subjectName : QString();
    }
    return {};
}

QString CSimGame::Execute(const QString& line) {
    const QString trimmed = line.trimmed();
    const QStringList words =
        trimmed.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    const QString command = words.value(0);
    const QString rest = trimmed.mid(command.size()).trimmed();
    const QString result = Run(command, words, rest);
    m_log.Write(SimContract::kLogEvent,
                QLatin1String("command ") + trimmed + QLatin1String(" -> ") + result);
    return result;
}

QString CSimGame::Run(const QString& command, const QStringList& words, const QString& rest) {
    if (command == QLatin1String("subject")) {
        return rest.isEmpty() ? Error(QStringLiteral("subject needs a name"))
                              : SetSubject(true, rest);
    }
    if (command == QLatin1String("no-subject")) {
        return SetSubject(false, {});
    }
    if (command == QLatin1String("pause") || command == QLatin1String("resume")) {
        return SetPaused(command == QLatin1String("pause"));
    }
    if (command == QLatin1String("refuse") || command == QLatin1String("fail")) {
        const int count = words.size() == 2 ? ParseNumber(words[1], kMaxCount) : -1;
        if (count < 0) {
            return Error(command + QLatin1String(" needs one count"));
        }
        (command == QLatin1String("refuse") ? m_refuseCount : m_failCount) = count;
        return Result({});
    }
    if (command == QLatin1String("delay")) {
        const auto delay = words.size() == 2 ? ParseDelay(words[1]) : std::nullopt;
        if (!delay) {
            return Error(QStringLiteral("delay needs a number of seconds up to an hour"));
        }
        m_state.answerDelay = *delay;
        return Result({});
    }
    if (command == QLatin1String("create-object")) {
        return Result(m_applet.CreateObject());
    }
    if (command == QLatin1String("notify")) {
        return Notify(words);
    }
    if (command == QLatin1String("release")) {
        return Result(m_applet.Release());
    }
    if (command == QLatin1String("quit")) {
        Q_EMIT QuitRequested();
        return Result({});
    }
    return Error(QLatin1String("unknown command \"") + command + QLatin1Char('"'));
}

QString CSimGame::SetSubject(bool hasSubject, const QString& name) {
    m_state.hasSubject = hasSubject;
    m_state.subjectName = name;
    if (m_applet.HoldsObject()) {
        m_applet.Notify(
            {GameContract::kNotificationOnly, GameContract::kNotifySubjectChanged, 0, 0});
    }
    return Result({});
}

QString CSimGame::SetPaused(bool paused) {
    const bool changed = paused != m_state.paused;
    m_state.paused = paused;
    if (changed && m_applet.HoldsObject()) {
        m_applet.Notify({GameContract::kNotificationOnly, GameContract::kNotifyPauseChanged,
                         static_cast<std::uint8_t>(paused ? 1 : 0), 0});
    }
    return Result({});
}

QString CSimGame::Notify(const QStringList& words) {
    NotificationBytes bytes{};
    bool valid = words.size() == 1 + static_cast<qsizetype>(bytes.size());
    for (std::size_t i = 0; valid && i < bytes.size(); ++i) {
        const int byte = ParseNumber(words[static_cast<qsizetype>(i) + 1], 255);
        valid = byte >= 0;
        bytes[i] = static_cast<std::uint8_t>(byte);
    }
    return valid ? Result(m_applet.Notify(bytes))
                 : Error(QStringLiteral("notify needs four bytes 0 to 255"));
}
