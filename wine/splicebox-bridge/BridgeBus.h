#pragma once

#include "wine/splicebox-bridge/BridgeService.h"

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>

struct sd_bus;
struct sd_bus_message;
struct sd_bus_slot;

// The bridge's connection to the session bus, served on a thread of its own
// (Run). It serves the game's macro server and the Wine interface to this
// machine's programs, and calls the applet's automation objects. Every public
// operation may be called from any thread: it is queued for the bus thread.
// Nothing here includes the Windows headers, which redefine "interface".
class CBridgeBus {
public:
    // CreateObject's answer: the object's path and the unique name that owns it,
    // or why there is none.
    struct Creation {
        bool ok = false;
        std::string path;
        std::string owner;
        std::string error;
    };

    explicit CBridgeBus(IBridgeService& service);
    ~CBridgeBus();
    CBridgeBus(const CBridgeBus&) = delete;
    CBridgeBus& operator=(const CBridgeBus&) = delete;

    // Connects to the session bus and exports both interfaces; the reason on failure.
    bool Open(std::string& error);
    const std::string& UniqueName() const { return m_uniqueName; }

    // The bus thread's body; returns once Stop was called or the bus is lost.
    void Run();
    void Stop();

    // Claims a well-known name. `take` takes it from an owner that allows it;
    // otherwise this owner lets a later `take` have it. `done` gets whether the
    // name is ours now, on the bus thread.
    void RequestName(std::string name, bool take, std::function<void(bool)> done);
    void ReleaseName(std::string name);
    // NameLeft once `name` has no owner (at once when it has none now).
    void Watch(std::string name);

    // The applet's factory: asks for an object, which starts the applet.
    void CreateAppletObject(std::function<void(Creation)> done);
    // Notification and release go out in order and are not waited for.
    void Communicate(std::string owner, std::string path, std::uint32_t message);
    void ReleaseAppletObject(std::string owner, std::string path);

private:
    void Post(std::function<void()> job);
    void RunJobs();
    bool ProcessAndWait();
    void WatchNow(const std::string& name);

    // The handlers that sd-bus calls, in BridgeBus.cpp.
    friend struct BridgeBusHandlers;

    IBridgeService& m_service;
    sd_bus* m_bus = nullptr;
    std::string m_uniqueName;
    int m_wakeFd = -1;
    std::atomic<bool> m_stopping{false};
    std::mutex m_jobsMutex;
    std::deque<std::function<void()>> m_jobs;
    std::set<std::string> m_watched; // bus thread only
};
