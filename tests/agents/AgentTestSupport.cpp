#include "tests/agents/AgentTestSupport.h"

#include "agents/AgentFileSource.h"
#include "agents/Clock.h"
#include "app/KitException.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

// Messages are compared in English whatever the machine's language.
class EnglishMessages : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("LANG", "en_US.UTF-8", 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
    }
};

const auto* const g_english = ::testing::AddGlobalTestEnvironment(new EnglishMessages);

} // namespace

TemporaryFolder::TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sb-agents-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    m_path = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::string TemporaryFolder::MakeDir(const std::string& name) const {
    std::filesystem::create_directories(m_path / name);
    return (m_path / name).string() + "/";
}

MacroCallResult RecordingTransport::Call(std::string_view macroUtf8) {
    m_sent.emplace_back(macroUtf8);
    for (const auto& refused : m_refused) {
        if (refused == macroUtf8) {
            return MacroCallResult{true, false, ""};
        }
    }
    return MacroCallResult{true, true, ""};
}

RecordingLink::RecordingLink()
    : transport(new RecordingTransport(sent)),
      link(std::unique_ptr<IMacroTransport>(transport), [](std::chrono::milliseconds) {}) {}

CAgent MakeAgent(const std::string& name, std::uint16_t quantity, std::uint32_t reuseInterval) {
    CAgent agent;
    agent.m_name = name;
    agent.m_description = "About " + name;
    agent.m_quantity = quantity;
    agent.m_reuseInterval = reuseInterval;
    agent.m_installScript = "inst,new: simp " + name + ",endm";
    agent.m_removeScript = "rscr,kill " + name + ",endm";
    agent.m_scripts = {"scrp 2 9 1 1,endm", "scrp 2 9 1 2,endm"};
    agent.m_scriptCount = 2;
    return agent;
}

void AddReference(CAgent& agent, std::uint16_t type, const std::string& name) {
    agent.m_dependencies.push_back(AgentDependencyRef{type, name});
    ++agent.m_dependencyCount;
}

void SetPicture(CAgent& agent, std::uint32_t width, std::uint32_t height,
                const std::vector<std::uint16_t>& pixels) {
    agent.m_picture.Create(pixels.data(), width, height, 1, true);
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const CKitException& e) {
        return e.m_message;
    }
    return "(nothing thrown)";
}

std::unique_ptr<CAgentFile> ReadBytes(const std::vector<std::uint8_t>& bytes,
                                      const std::string& path) {
    CMemoryAgentSource source(bytes);
    return std::make_unique<CAgentFile>(path, source);
}

ScopedClock::ScopedClock(std::uint32_t now) : m_now(now) {
    SetClockSource([this] { return m_now; });
}

ScopedClock::~ScopedClock() {
    SetClockSource({});
}
