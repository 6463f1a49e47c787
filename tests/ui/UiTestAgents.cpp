#include "tests/ui/UiTestAgents.h"

#include "agents/AgentFileWriter.h"
#include "agents/Clock.h"

namespace {

constexpr std::uint16_t kWhite565 = 0xFFFF;
constexpr std::uint16_t kBlack565 = 0x0000;

std::vector<std::uint16_t> FramedWhitePixels() {
    std::vector<std::uint16_t> pixels;
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const bool frame =
                x == 0 || y == 0 || x == kPictureWidth - 1 || y == kPictureHeight - 1;
            pixels.push_back(frame ? kBlack565 : kWhite565);
        }
    }
    return pixels;
}

} // namespace

CAgent MakeTestAgent(const TestAgent& wanted) {
    const std::string& name = wanted.name;
    CAgent agent;
    agent.m_name = name;
    agent.m_description = "About " + name;
    agent.m_quantity = wanted.quantity;
    agent.m_reuseInterval = wanted.reuseInterval;
    agent.m_scripts = {"scrp 2 9 1 1,endm"};
    agent.m_scriptCount = 1;
    agent.m_installScript = "inst,new: simp " + name + ",endm";
    agent.m_removeScript = "rscr,kill " + name + ",endm";
    const auto pixels = FramedWhitePixels();
    agent.m_picture.Create(pixels.data(), kPictureWidth, kPictureHeight, 1, true);
    for (const AgentDependencyRef& reference : wanted.dependencies) {
        agent.m_dependencies.push_back(reference);
        ++agent.m_dependencyCount;
    }
    return agent;
}

void SaveAgentFile(const std::string& path, const std::vector<TestAgent>& agents) {
    CAgentFileWriter writer;
    for (const TestAgent& wanted : agents) {
        writer.AddAgent(MakeTestAgent(wanted));
    }
    writer.Save(path);
}

TestClock::TestClock(std::uint32_t now) : m_now(now) {
    SetClockSource([this] { return m_now; });
}

TestClock::~TestClock() {
    SetClockSource({});
}
