#include "wine/splicebox-bridge/BridgeBus.h"

#include "gamelink/GameContract.h"
#include "platform/WineBridgeContract.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

constexpr const char* kBusService = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kCallFailedError = "MWGS.OLE.Error.CallFailed";
// Starting the applet is a fresh Qt program loading its resources; half a
// minute covers a loaded machine, as the game substitute allows.
constexpr std::uint64_t kCreateTimeoutUsec = 30'000'000;

std::string Describe(int negativeErrno) {
    return std::strerror(-negativeErrno);
}

} // namespace

// The sd-bus callbacks, with the bus object as their user data.
struct BridgeBusHandlers {
    static CBridgeBus& Bus(void* userdata) { return *static_cast<CBridgeBus*>(userdata); }

    static int Prefix(sd_bus_message* call, void* userdata, sd_bus_error*) {
        return sd_bus_reply_method_return(call, "s", Bus(userdata).m_service.Prefix().c_str());
    }

    static int OpenKey(sd_bus_message* call, void* userdata, sd_bus_error*) {
        const char* root = nullptr;
        const char* subkey = nullptr;
        int create = 0;
        if (const int r = sd_bus_message_read(call, "ssb", &root, &subkey, &create); r < 0) {
            return r;
        }
        bool created = false;
        const auto status = Bus(userdata).m_service.OpenKey(root, subkey, create != 0, created);
        return sd_bus_reply_method_return(call, "ub", status, static_cast<int>(created));
    }

    static int ReadValue(sd_bus_message* call, void* userdata, sd_bus_error*) {
        const char* root = nullptr;
        const char* subkey = nullptr;
        const char* name = nullptr;
        if (const int r = sd_bus_message_read(call, "sss", &root, &subkey, &name); r < 0) {
            return r;
        }
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        const auto status = Bus(userdata).m_service.ReadValue(root, subkey, name, type, data);
        sd_bus_message* reply = nullptr;
        int r = sd_bus_message_new_method_return(call, &reply);
        if (r >= 0) {
            r = sd_bus_message_append(reply, "uu", status, type);
        }
        if (r >= 0) {
            r = sd_bus_message_append_array(reply, 'y', data.data(), data.size());
        }
        if (r >= 0) {
            r = sd_bus_send(nullptr, reply, nullptr);
        }
        sd_bus_message_unref(reply);
        return r;
    }

    static int WriteValue(sd_bus_message* call, void* userdata, sd_bus_error*) {
        const char* root = nullptr;
        const char* subkey = nullptr;
        const char* name = nullptr;
        std::uint32_t type = 0;
        const void* bytes = nullptr;
        std::size_t size = 0;
        int r = sd_bus_message_read(call, "sssu", &root, &subkey, &name, &type);
        if (r >= 0) {
            r = sd_bus_message_read_array(call, 'y', &bytes, &size);
        }
        if (r < 0) {
            return r;
        }
        const auto* first = static_cast<const std::uint8_t*>(bytes);
        const std::vector<std::uint8_t> data(first, first + size);
        const auto status = Bus(userdata).m_service.WriteValue(root, subkey, name, type, data);
        return sd_bus_reply_method_return(call, "u", status);
    }

    static int RegisterServer(sd_bus_message* call, void* userdata, sd_bus_error*) {
        return sd_bus_reply_method_return(call, "u", Bus(userdata).m_service.RegisterServer());
    }

    // Answered once the game's apartment has bound to the game.
    static int LinkGame(sd_bus_message* call, void* userdata, sd_bus_error*) {
        CBridgeBus& bus = Bus(userdata);
        sd_bus_message_ref(call);
        bus.m_service.LinkGame([&bus, call](std::uint32_t status) {
            bus.Post([call, status] {
                sd_bus_reply_method_return(call, "u", status);
                sd_bus_message_unref(call);
            });
        });
        return 1;
    }

    // Answered once the game has answered, however long it takes.
    static int ExecuteMacro(sd_bus_message* call, void* userdata, sd_bus_error*) {
        std::int16_t kind = 0;
        const char* macro = nullptr;
        if (const int r = sd_bus_message_read(call, "ns", &kind, &macro); r < 0) {
            return r;
        }
        CBridgeBus& bus = Bus(userdata);
        sd_bus_message_ref(call);
        bus.m_service.ExecuteMacro(kind, macro, [&bus, call](MacroOutcome outcome) {
            bus.Post([call, outcome = std::move(outcome)] {
                if (outcome.answered) {
                    sd_bus_reply_method_return(call, "bs", static_cast<int>(outcome.ok),
                                               outcome.reply.c_str());
                } else {
                    sd_bus_reply_method_errorf(call, kCallFailedError, "%s", outcome.error.c_str());
                }
                sd_bus_message_unref(call);
            });
        });
        return 1;
    }

    static int NameOwnerChanged(sd_bus_message* signal, void* userdata, sd_bus_error*) {
        const char* name = nullptr;
        const char* oldOwner = nullptr;
        const char* newOwner = nullptr;
        if (sd_bus_message_read(signal, "sss", &name, &oldOwner, &newOwner) < 0) {
            return 0;
        }
        CBridgeBus& bus = Bus(userdata);
        if (newOwner[0] == '\0' && bus.m_watched.erase(name) > 0) {
            bus.m_service.NameLeft(name);
        }
        return 0;
    }
};

namespace {

const sd_bus_vtable kWineVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD(WineBridgeContract::kPrefixMethod, "", "s", BridgeBusHandlers::Prefix,
                  SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD(WineBridgeContract::kOpenKeyMethod, "ssb", "ub", BridgeBusHandlers::OpenKey,
                  SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD(WineBridgeContract::kReadValueMethod, "sss", "uuay", BridgeBusHandlers::ReadValue,
                  SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD(WineBridgeContract::kWriteValueMethod, "sssuay", "u",
                  BridgeBusHandlers::WriteValue, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD(WineBridgeContract::kRegisterServerMethod, "", "u",
                  BridgeBusHandlers::RegisterServer, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD(WineBridgeContract::kLinkGameMethod, "", "u", BridgeBusHandlers::LinkGame,
                  SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable kMacroServerVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD(GameContract::kExecuteMacroMethod, "ns", "bs", BridgeBusHandlers::ExecuteMacro,
                  SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

} // namespace

CBridgeBus::CBridgeBus(IBridgeService& service) : m_service(service) {}

CBridgeBus::~CBridgeBus() {
    if (m_bus != nullptr) {
        sd_bus_flush_close_unref(m_bus);
    }
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
    }
}

bool CBridgeBus::Open(std::string& error) {
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd < 0) {
        error = std::strerror(errno);
        return false;
    }
    int r = sd_bus_open_user(&m_bus);
    if (r < 0) {
        m_bus = nullptr;
        error = "cannot connect to the session bus: " + Describe(r);
        return false;
    }
    const char* unique = nullptr;
    r = sd_bus_get_unique_name(m_bus, &unique);
    if (r >= 0) {
        m_uniqueName = unique;
        r = sd_bus_add_object_vtable(m_bus, nullptr, WineBridgeContract::kPath,
                                     WineBridgeContract::kInterface, kWineVtable, this);
    }
    if (r >= 0) {
        r = sd_bus_add_object_vtable(m_bus, nullptr, GameContract::kMacroServerPath,
                                     GameContract::kMacroServerInterface, kMacroServerVtable, this);
    }
    if (r >= 0) {
        r = sd_bus_match_signal(m_bus, nullptr, kBusService, kBusPath, kBusService,
                                "NameOwnerChanged", BridgeBusHandlers::NameOwnerChanged, this);
    }
    if (r < 0) {
        error = "cannot serve on the session bus: " + Describe(r);
        return false;
    }
    return true;
}

void CBridgeBus::Run() {
    while (!m_stopping && ProcessAndWait()) {
        RunJobs();
    }
    if (!m_stopping) {
        m_service.BusLost();
    }
    sd_bus_flush(m_bus);
}

void CBridgeBus::Stop() {
    m_stopping = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(m_wakeFd, &one, sizeof one);
}

void CBridgeBus::Post(std::function<void()> job) {
    {
        const std::lock_guard lock(m_jobsMutex);
        m_jobs.push_back(std::move(job));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(m_wakeFd, &one, sizeof one);
}

void CBridgeBus::RunJobs() {
    std::deque<std::function<void()>> jobs;
    {
        const std::lock_guard lock(m_jobsMutex);
        jobs.swap(m_jobs);
    }
    for (auto& job : jobs) {
        job();
    }
}

// Handles everything the bus has for us, then sleeps until the bus or a
// posted job needs us; false once the connection is gone.
bool CBridgeBus::ProcessAndWait() {
    int r = 0;
    while ((r = sd_bus_process(m_bus, nullptr)) > 0) {
    }
    if (r < 0) {
        return false;
    }
    // A job posted after this look also writes the wake-up descriptor, so the
    // poll below cannot sleep through it.
    {
        const std::lock_guard lock(m_jobsMutex);
        if (!m_jobs.empty()) {
            return true;
        }
    }
    std::uint64_t deadline = 0;
    int timeoutMs = -1;
    if (sd_bus_get_timeout(m_bus, &deadline) >= 0 && deadline != UINT64_MAX) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const std::uint64_t nowUsec = static_cast<std::uint64_t>(now.tv_sec) * 1'000'000 +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000;
        timeoutMs = deadline <= nowUsec ? 0 : static_cast<int>((deadline - nowUsec + 999) / 1000);
    }
    pollfd fds[2] = {{sd_bus_get_fd(m_bus), static_cast<short>(sd_bus_get_events(m_bus)), 0},
                     {m_wakeFd, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) < 0 && errno != EINTR) {
        return false;
    }
    std::uint64_t wakes = 0;
    [[maybe_unused]] const auto read = ::read(m_wakeFd, &wakes, sizeof wakes);
    return true;
}

void CBridgeBus::RequestName(std::string name, bool take, std::function<void(bool)> done) {
    Post([this, name = std::move(name), take, done = std::move(done)] {
        const std::uint64_t flags =
            take ? SD_BUS_NAME_REPLACE_EXISTING : SD_BUS_NAME_ALLOW_REPLACEMENT;
        const int r = sd_bus_request_name(m_bus, name.c_str(), flags);
        done(r >= 0);
    });
}

void CBridgeBus::ReleaseName(std::string name) {
    Post([this, name = std::move(name)] { sd_bus_release_name(m_bus, name.c_str()); });
}

void CBridgeBus::Watch(std::string name) {
    Post([this, name = std::move(name)] { WatchNow(name); });
}

// The signal match is in place already, so a name that leaves after the check
// below is still seen.
void CBridgeBus::WatchNow(const std::string& name) {
    m_watched.insert(name);
    sd_bus_message* reply = nullptr;
    const int r = sd_bus_call_method(m_bus, kBusService, kBusPath, kBusService, "NameHasOwner",
                                     nullptr, &reply, "s", name.c_str());
    int hasOwner = 0;
    if (r >= 0) {
        sd_bus_message_read(reply, "b", &hasOwner);
    }
    sd_bus_message_unref(reply);
    if (!hasOwner && m_watched.erase(name) > 0) {
        m_service.NameLeft(name);
    }
}

void CBridgeBus::CreateAppletObject(std::function<void(Creation)> done) {
    Post([this, done = std::move(done)]() mutable {
        sd_bus_message* call = nullptr;
        int r = sd_bus_message_new_method_call(
            m_bus, &call, GameContract::kAppletServiceName, GameContract::kAppletFactoryPath,
            GameContract::kAppletInterface, GameContract::kCreateObjectMethod);
        auto* pending = new std::function<void(Creation)>(std::move(done));
        const auto onReply = [](sd_bus_message* reply, void* userdata, sd_bus_error*) -> int {
            std::unique_ptr<std::function<void(Creation)>> finish(
                static_cast<std::function<void(Creation)>*>(userdata));
            Creation creation;
            const sd_bus_error* error = sd_bus_message_get_error(reply);
            const char* path = nullptr;
            if (error != nullptr) {
                creation.error = std::string(error->name) + ": " +
                                 (error->message != nullptr ? error->message : "");
            } else if (sd_bus_message_read(reply, "o", &path) >= 0) {
                creation.ok = true;
                creation.path = path;
                creation.owner = sd_bus_message_get_sender(reply);
            } else {
                creation.error = "the applet answered CreateObject in another form";
            }
            (*finish)(std::move(creation));
            return 0;
        };
        if (r >= 0) {
            r = sd_bus_call_async(m_bus, nullptr, call, onReply, pending, kCreateTimeoutUsec);
        }
        sd_bus_message_unref(call);
        if (r < 0) {
            std::unique_ptr<std::function<void(Creation)>> finish(pending);
            (*finish)({false, {}, {}, "cannot ask the bus for the applet: " + Describe(r)});
        }
    });
}

namespace {

// A call whose answer nobody waits for; the bus keeps the order of calls.
void SendOneWay(sd_bus* bus, const std::string& owner, const std::string& path, const char* method,
                const std::function<int(sd_bus_message*)>& append) {
    sd_bus_message* call = nullptr;
    int r = sd_bus_message_new_method_call(bus, &call, owner.c_str(), path.c_str(),
                                           GameContract::kAppletInterface, method);
    if (r >= 0) {
        r = append(call);
    }
    if (r >= 0) {
        r = sd_bus_message_set_expect_reply(call, 0);
    }
    if (r >= 0) {
        sd_bus_send(bus, call, nullptr);
    }
    sd_bus_message_unref(call);
}

} // namespace

void CBridgeBus::Communicate(std::string owner, std::string path, std::uint32_t message) {
    Post([this, owner = std::move(owner), path = std::move(path), message] {
        // D-Bus has no empty variant; an empty string stands for the unused reply.
        SendOneWay(m_bus, owner, path, GameContract::kCommunicateMethod,
                   [message](sd_bus_message* call) {
                       return sd_bus_message_append(call, "vv", "u", message, "s", "");
                   });
    });
}

void CBridgeBus::ReleaseAppletObject(std::string owner, std::string path) {
    Post([this, owner = std::move(owner), path = std::move(path)] {
        SendOneWay(m_bus, owner, path, GameContract::kReleaseMethod,
                   [](sd_bus_message*) { return 0; });
    });
}
