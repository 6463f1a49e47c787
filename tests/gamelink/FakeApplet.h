#pragma once

#include "gamelink/GameLink.h"

#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QObject>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// The applet's automation object as the game sees it, served from the test
// on a bus connection of its own, so that it can leave the bus as the applet
// does after its final release. Like the applet, it asks the game for its
// subject when told that the subject changed, from inside Communicate.
class CFakeApplet : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kObjectPath = "/object/1";

    CFakeApplet();
    ~CFakeApplet() override;

    std::vector<std::uint32_t> m_notifications;
    std::vector<std::string> m_subjectReplies;
    int m_creations = 0;
    int m_releases = 0;

public Q_SLOTS:
    QDBusObjectPath CreateObject();
    bool Communicate(const QDBusVariant& message, const QDBusVariant& reply);
    void Release();

private:
    CGameLink m_game;
};
