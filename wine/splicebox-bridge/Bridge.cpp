#include "wine/splicebox-bridge/Bridge.h"

#include "gamelink/GameContract.h"
#include "platform/WineBridgeContract.h"
#include "wine/splicebox-bridge/BridgeRegistry.h"
#include "wine/splicebox-bridge/ClassFactory.h"
#include "wine/splicebox-bridge/ServerRegistration.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace {

// A dead game answers nothing, and COM does not tell its servers; a look at the
// game once a second closes the applet soon after, at no cost.
constexpr UINT kGameWatchMs = 1000;
// After the game's last release the applet says goodbye with a macro and
// leaves; this long the bridge serves it before ending regardless.
constexpr UINT kLeaveGraceMs = 3000;
// Starting the applet (a Qt program) and its first registry reads; the bus
// itself gives up on CreateObject after 30 s.
constexpr DWORD kCreateWaitMs = 35000;
// Claiming a name is one round trip to the bus.
constexpr DWORD kNameWaitMs = 10000;

CBridge* g_bridge = nullptr; // the timers' way back; one bridge per process

void Say(const std::string& text) {
    std::fprintf(stderr, "splicebox-bridge: %s\n", text.c_str());
    std::fflush(stderr);
}

DWORD WINAPI BusThreadMain(void* bus) {
    static_cast<CBridgeBus*>(bus)->Run();
    return 0;
}

// An answer that the bus thread gives and the apartment waits for; shared, so
// that a late answer after the wait gave up lands nowhere harmful.
template <typename T> struct Awaited {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    T value{};
    ~Awaited() { CloseHandle(event); }
};

} // namespace

CBridge::CBridge(CApartment& apartment) : m_apartment(apartment), m_bus(*this) {
    g_bridge = this;
}

CBridge::~CBridge() {
    m_game.Unbind();
    if (m_busThread != nullptr) {
        m_bus.Stop();
        WaitForSingleObject(m_busThread, INFINITE);
        CloseHandle(m_busThread);
    }
    g_bridge = nullptr;
}

bool CBridge::OpenBus() {
    if (!m_bus.Open(m_busError)) {
        Say(m_busError);
        return false;
    }
    m_busThread = CreateThread(nullptr, 0, BusThreadMain, &m_bus, 0, nullptr);
    return m_busThread != nullptr;
}

int CBridge::ServeGame() {
    // Without the bus the creation requests still get their answer, a failure,
    // instead of waiting for a server that never registers.
    OpenBus();
    CClassFactory factory(*this);
    DWORD cookie = 0;
    const HRESULT registered = CoRegisterClassObject(
        kInjectorClassId, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie);
    if (FAILED(registered)) {
        Say("cannot serve the applet's object to the game");
        return 1;
    }
    const int status = RunUntilFinished();
    CoRevokeClassObject(cookie);
    return status;
}

int CBridge::ServeClient(const std::string& client) {
    if (!OpenBus()) {
        return 1;
    }
    m_client = client;
    auto claimed = std::make_shared<Awaited<bool>>();
    m_bus.RequestName(WineBridgeContract::ClientServiceName(client), false, [claimed](bool ok) {
        claimed->value = ok;
        SetEvent(claimed->event);
    });
    if (!m_apartment.WaitServing(claimed->event, kNameWaitMs) || !claimed->value) {
        Say("cannot claim the bus name for " + client);
        return 1;
    }
    m_bus.Watch(client);
    return RunUntilFinished();
}

int CBridge::RunUntilFinished() {
    const int status = m_apartment.Run();
    if (m_watchTimer != 0) {
        KillTimer(nullptr, m_watchTimer);
    }
    return status;
}

// As platform/WinePrefix.cpp chooses it, spelled without std::filesystem, which a Winelib
// module cannot use: the C++ library's paths were built with another size of wchar_t.
std::string CBridge::Prefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && prefix[0] != '\0') {
        return prefix;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : "";
    }
    return std::string(home) + "/.wine";
}

std::uint32_t CBridge::OpenKey(const std::string& root, const std::string& subkey, bool create,
                               bool& created) {
    return BridgeRegistry::OpenKey(root, subkey, create, created);
}

std::uint32_t CBridge::ReadValue(const std::string& root, const std::string& subkey,
                                 const std::string& name, std::uint32_t& type,
                                 std::vector<std::uint8_t>& data) {
    return BridgeRegistry::ReadValue(root, subkey, name, type, data);
}

std::uint32_t CBridge::WriteValue(const std::string& root, const std::string& subkey,
                                  const std::string& name, std::uint32_t type,
                                  const std::vector<std::uint8_t>& data) {
    return BridgeRegistry::WriteValue(root, subkey, name, type, data);
}

std::uint32_t CBridge::RegisterServer() {
    return RegisterInjectorServer();
}

void CBridge::LinkGame(std::function<void(std::uint32_t)> done) {
    m_apartment.Post([this, done = std::move(done)] {
        if (FAILED(m_game.Bind())) {
            done(WineBridgeContract::kMissing);
            return;
        }
        WatchGame();
        // A bridge that the game started takes the name back from this one.
        m_bus.RequestName(GameContract::kMacroServerName, false,
                          [done](bool) { done(WineBridgeContract::kOk); });
    });
}

void CBridge::ExecuteMacro(std::int16_t kind, std::string macro,
                           std::function<void(MacroOutcome)> done) {
    m_apartment.Post([this, kind, macro = std::move(macro), done = std::move(done)] {
        done(m_game.Execute(kind, macro));
    });
}

void CBridge::NameLeft(const std::string& name) {
    m_apartment.Post([this, name] { OnNameLeft(name); });
}

void CBridge::BusLost() {
    m_apartment.Post([this] {
        Say("the session bus has gone");
        Finish();
    });
}

HRESULT CBridge::ObjectCreated(CInjectorObject& object) {
    if (m_busThread == nullptr) {
        Say("no session bus, so no applet: " + m_busError);
        return Refused(CO_E_SERVER_EXEC_FAILURE);
    }
    if (const HRESULT bound = m_game.Bind(); FAILED(bound)) {
        char text[96];
        std::snprintf(text, sizeof text, "cannot reach the game's %s (0x%08lX)",
                      GameContract::kMacroServerName, static_cast<unsigned long>(bound));
        Say(text);
        return Refused(bound);
    }
    WatchGame();
    if (!ServeMacros()) {
        return Refused(E_FAIL);
    }
    auto created = std::make_shared<Awaited<CBridgeBus::Creation>>();
    m_bus.CreateAppletObject([created](CBridgeBus::Creation creation) {
        created->value = std::move(creation);
        SetEvent(created->event);
    });
    if (!m_apartment.WaitServing(created->event, kCreateWaitMs) || !created->value.ok) {
        Say("the applet did not start: " + created->value.error);
        return Refused(CO_E_SERVER_EXEC_FAILURE);
    }
    object.BindToApplet(created->value.owner, created->value.path);
    if (m_appletOwner != created->value.owner) {
        m_appletOwner = created->value.owner;
        m_bus.Watch(m_appletOwner);
    }
    m_objects.emplace_back(created->value.owner, created->value.path);
    return S_OK;
}

// A bridge that serves no object has nothing to stay for once the game has its answer.
HRESULT CBridge::Refused(HRESULT result) {
    if (m_objects.empty()) {
        FinishAfterGrace();
    }
    return result;
}

// The applet finds the game's macro server by its name before it sends anything; the game's own
// bridge takes the name from a bridge that kivtool started.
bool CBridge::ServeMacros() {
    if (m_servingMacros) {
        return true;
    }
    auto claimed = std::make_shared<Awaited<bool>>();
    m_bus.RequestName(GameContract::kMacroServerName, true, [claimed](bool ok) {
        claimed->value = ok;
        SetEvent(claimed->event);
    });
    m_servingMacros = m_apartment.WaitServing(claimed->event, kNameWaitMs) && claimed->value;
    if (!m_servingMacros) {
        Say(std::string("cannot serve the game's ") + GameContract::kMacroServerName +
            " on the bus");
    }
    return m_servingMacros;
}

void CBridge::Notified(const CInjectorObject& object, std::uint32_t message) {
    if (!object.AppletPath().empty()) {
        m_bus.Communicate(object.AppletOwner(), object.AppletPath(), message);
    }
}

void CBridge::ObjectReleased(const CInjectorObject& object) {
    if (object.AppletPath().empty()) {
        return;
    }
    m_bus.ReleaseAppletObject(object.AppletOwner(), object.AppletPath());
    std::erase(m_objects, std::make_pair(object.AppletOwner(), object.AppletPath()));
    if (m_objects.empty()) {
        FinishAfterGrace();
    }
}

void CBridge::WatchGame() {
    if (m_watchTimer == 0) {
        m_watchTimer = SetTimer(nullptr, 0, kGameWatchMs, &CBridge::WatchTimer);
    }
}

VOID CALLBACK CBridge::WatchTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_bridge != nullptr) {
        g_bridge->OnWatchTick();
    }
}

// Only between calls: a game busy with a macro is there.
void CBridge::OnWatchTick() {
    if (m_game.IsBound() && !m_game.Busy() && !m_game.StillThere()) {
        Say("the game has gone");
        m_game.Unbind();
        if (m_client.empty()) {
            ReleaseEveryObject();
        } else {
            m_bus.ReleaseName(GameContract::kMacroServerName);
        }
    }
}

void CBridge::OnNameLeft(const std::string& name) {
    if (name == m_client) {
        Finish();
        return;
    }
    if (name == m_appletOwner) {
        m_appletOwner.clear();
        if (m_objects.empty()) {
            Finish();
        }
    }
}

// A dead game releases nothing: its objects are let go for it, so that the applet closes as when
// its game leaves, while the bridge still serves it the registry to keep its placement in.
void CBridge::ReleaseEveryObject() {
    for (const auto& [owner, path] : m_objects) {
        m_bus.ReleaseAppletObject(owner, path);
    }
    m_objects.clear();
    FinishAfterGrace();
}

void CBridge::FinishAfterGrace() {
    if (m_appletOwner.empty() && m_busThread != nullptr) {
        Finish();
        return;
    }
    SetTimer(nullptr, 0, kLeaveGraceMs, &CBridge::GraceTimer);
}

VOID CALLBACK CBridge::GraceTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_bridge != nullptr) {
        g_bridge->Finish();
    }
}

void CBridge::Finish() {
    if (!m_finished) {
        m_finished = true;
        m_apartment.Quit(0);
    }
}
