#include "sim/mirewalk-sim/SimControl.h"

#include "sim/mirewalk-sim/SimGame.h"

CSimControl::CSimControl(CSimGame& game) : m_game(game) {}

QString CSimControl::Command(const QString& line) {
    return m_game.Execute(line);
}
