#pragma once

#include "wine/splicebox-bridge/Apartment.h"
#include "wine/splicebox-bridge/BridgeBus.h"
#include "wine/splicebox-bridge/BridgeService.h"
#include "wine/splicebox-bridge/GameMacros.h"
#include "wine/splicebox-bridge/InjectorObject.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// Joins the game inside Wine to the applet on the session bus. Started by COM
// for the game, it is the local server of the applet's automation object and,
// while the game holds an object, the game's macro server on the bus. Started
// for a program of this machine, it serves that program the Wine registry and,
// on request, the game's macro server, until the program leaves the bus.
class CBridge final : public IBridgeService, public IInjectorHost {
public:
    explicit CBridge(CApartment& apartment);
    ~CBridge() override;

    // Both end when there is nothing left to serve; the process's exit status.
    int ServeGame();
    int ServeClient(const std::string& client);

    // IBridgeService, on the bus thread.
    std::string Prefix() override;
    std::uint32_t OpenKey(const std::string& root, const std::string& subkey, bool create,
                          bool& created) override;
    std::uint32_t ReadValue(const std::string& root, const std::string& subkey,
                            const std::string& name, std::uint32_t& type,
                            std::vector<std::uint8_t>& data) override;
    std::uint32_t WriteValue(const std::string& root, const std::string& subkey,
                             const std::string& name, std::uint32_t type,
                             const std::vector<std::uint8_t>& data) override;
    std::uint32_t RegisterServer() override;
    void LinkGame(std::function<void(std::uint32_t)> done) override;
    void ExecuteMacro(std::int16_t kind, std::string macro,
                      std::function<void(MacroOutcome)> done) override;
    void NameLeft(const std::string& name) override;
    void BusLost() override;

    // IInjectorHost, on the apartment's thread.
    HRESULT ObjectCreated(CInjectorObject& object) override;
    void Notified(const CInjectorObject& object, std::uint32_t message) override;
    void ObjectReleased(const CInjectorObject& object) override;

private:
    bool OpenBus();
    HRESULT Refused(HRESULT result);
    bool ServeMacros();
    void WatchGame();
    void OnWatchTick();
    void OnNameLeft(const std::string& name);
    void ReleaseEveryObject();
    void FinishAfterGrace();
    void Finish();
    int RunUntilFinished();
    static VOID CALLBACK WatchTimer(HWND, UINT, UINT_PTR, DWORD);
    static VOID CALLBACK GraceTimer(HWND, UINT, UINT_PTR, DWORD);

    CApartment& m_apartment;
    CBridgeBus m_bus;
    CGameMacros m_game;
    HANDLE m_busThread = nullptr;
    std::string m_busError;
    std::string m_client;      // the program served, in client mode
    std::string m_appletOwner; // the applet's unique name while it is on the bus
    bool m_servingMacros = false;
    // The applet's objects that the game holds, by owner and path.
    std::vector<std::pair<std::string, std::string>> m_objects;
    UINT_PTR m_watchTimer = 0;
    bool m_finished = false;
};
