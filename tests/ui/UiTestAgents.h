#pragma once

#include "agents/AgentFile.h"

#include <cstdint>
#include <string>
#include <vector>

// The test picture: 20 x 10 pixels, white inside a one-pixel black frame.
// Black is its first pixel and so its transparent colour.
inline constexpr int kPictureWidth = 20;
inline constexpr int kPictureHeight = 10;

struct TestAgent {
    std::string name;
    std::uint16_t quantity = CAgent::kUnlimited;
    std::uint32_t reuseInterval = 0;
    std::vector<AgentDependencyRef> dependencies = {};
};

// An agent with the test picture, one event script, an installation script
// and a removal script.
CAgent MakeTestAgent(const TestAgent& wanted);

// Writes an agent file holding the agents, in order.
void SaveAgentFile(const std::string& path, const std::vector<TestAgent>& agents);

// Sets the clock that usage accounting reads, for the lifetime of the object.
class TestClock {
public:
    explicit TestClock(std::uint32_t now);
    ~TestClock();
    TestClock(const TestClock&) = delete;
    TestClock& operator=(const TestClock&) = delete;

    void Set(std::uint32_t now) { m_now = now; }

private:
    std::uint32_t m_now;
};
