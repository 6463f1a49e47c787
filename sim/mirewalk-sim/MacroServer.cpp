#include "sim/mirewalk-sim/MacroServer.h"

#include "sim/mirewalk-sim/SimGame.h"

#include <QDBusError>

CMacroServer::CMacroServer(CSimGame& game) : m_game(game) {}

bool CMacroServer::ExecuteMacro(qint16 /*kind*/, const QString& macro, QString& reply) {
    const SimMacroAnswer answer = m_game.AnswerMacro(macro);
    if (answer.outcome == SimMacroAnswer::Outcome::Failed) {
        sendErrorReply(QDBusError::Failed, QStringLiteral("The call failed, as the game was told"));
        return false;
    }
    reply = answer.reply;
    return answer.outcome == SimMacroAnswer::Outcome::Answered;
}
