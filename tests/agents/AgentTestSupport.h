#pragma once

#include "agents/AgentFile.h"
#include "gamelink/GameLink.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A fresh folder under the system's temporary directory, removed afterwards.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // The folder as a directory string ending with '/'.
    std::string Dir() const { return m_path.string() + "/"; }
    std::string Path(const std::string& name) const { return (m_path / name).string(); }
    std::string MakeDir(const std::string& name) const;

private:
    std::filesystem::path m_path;
};

// Records every macro sent and refuses those the test names.
class RecordingTransport : public IMacroTransport {
public:
    explicit RecordingTransport(std::vector<std::string>& sent) : m_sent(sent) {}
    bool Connect() override { return true; }
    void Disconnect() override {}
    bool IsConnected() const override { return true; }
    MacroCallResult Call(std::string_view macroUtf8) override;

    std::vector<std::string> m_refused;

private:
    std::vector<std::string>& m_sent;
};

// A link over a recording transport whose retries do not wait.
struct RecordingLink {
    RecordingLink();
    std::vector<std::string> sent;
    RecordingTransport* transport;
    CGameLink link;
};

// An agent description with usable defaults, for the writer.
CAgent MakeAgent(const std::string& name, std::uint16_t quantity = 1,
                 std::uint32_t reuseInterval = 0);
void AddReference(CAgent& agent, std::uint16_t type, const std::string& name);
void SetPicture(CAgent& agent, std::uint32_t width, std::uint32_t height,
                const std::vector<std::uint16_t>& pixels);

std::vector<std::uint8_t> Bytes(const std::string& text);
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The message of the CKitException that `action` raises, or "(nothing thrown)".
std::string MessageOf(const std::function<void()>& action);

// Reads agent-file bytes from memory under the given path.
std::unique_ptr<CAgentFile> ReadBytes(const std::vector<std::uint8_t>& bytes,
                                      const std::string& path = "mem.kiv");

// Sets the test clock for the lifetime of the object.
class ScopedClock {
public:
    explicit ScopedClock(std::uint32_t now);
    ~ScopedClock();
    void Set(std::uint32_t now) { m_now = now; }

private:
    std::uint32_t m_now;
};
