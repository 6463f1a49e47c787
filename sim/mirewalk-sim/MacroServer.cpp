#include "sim/mirewalk-sim/MacroServer.h"

#include "sim/mirewalk-sim/SimGame.h"

#include <QDBusError>

#include <thread>

CMacroServer::CMacroServer(CSimGame& game) : m_game(game) {}

bool CMacroServer::ExecuteMacro(qint16 /*kind*/, const QString& macro, QString& reply) {
    const SimMacroAnswer answer = m_game.AnswerMacro(macro);
    // A slow game is busy with the macro: it answers nothing else meanwhile,
    // and what arrived in the meantime (commands, signals, a release) is
    // handled once it has answered.
    std::this_thread::sleep_for(m_game.AnswerDelay());
    if (answer.outcome == SimMacroAnswer::Outcome::Failed) {
        sendErrorReply(QDBusError::Failed, QStringLiteral("The call failed, as the game was told"));
        return false;
    }
    reply = answer.reply;
    return answer.outcome == SimMacroAnswer::Outcome::Answered;
}
