#pragma once

#include <QObject>
#include <QString>

class CSimGame;

// The substitute's control interface: Command(s line) -> (s result).
class CSimControl : public QObject {
    Q_OBJECT
public:
    explicit CSimControl(CSimGame& game);

public Q_SLOTS:
    QString Command(const QString& line);

private:
    CSimGame& m_game;
};
