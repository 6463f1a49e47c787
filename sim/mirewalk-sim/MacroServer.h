#pragma once

#include <QDBusContext>
#include <QObject>
#include <QString>

class CSimGame;

// The game's macro server: ExecuteMacro(n kind, s macro) -> (b ok, s reply).
class CMacroServer : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    explicit CMacroServer(CSimGame& game);

public Q_SLOTS:
    bool ExecuteMacro(qint16 kind, const QString& macro, QString& reply);

private:
    CSimGame& m_game;
};
