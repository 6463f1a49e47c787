#include "gamelink/GameLink.h"
#include "tests/gamelink/MacroOutcome.h"
#include "tests/support/GameEnvironment.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

using std::chrono::milliseconds;

// What the recording transport saw and what it answers, shared with the test
// because the link owns the transport.
struct Script {
    std::deque<MacroCallResult> answers; // the last one repeats
    std::vector<std::string> calls;
    std::vector<milliseconds> waits;
};

class CRecordingTransport final : public IMacroTransport {
public:
    explicit CRecordingTransport(Script& script) : m_script(script) {}
    bool Connect() override { return true; }
    void Disconnect() override {}
    bool IsConnected() const override { return true; }
    MacroCallResult Call(std::string_view macroUtf8) override {
        m_script.calls.emplace_back(macroUtf8);
        const MacroCallResult answer = m_script.answers.front();
        if (m_script.answers.size() > 1) {
            m_script.answers.pop_front();
        }
        return answer;
    }

private:
    Script& m_script;
};

const MacroCallResult kRefused{true, false, "ignored"};
const MacroCallResult kFailedCall{false, false, ""};
const MacroCallResult kMayHaveRun{false, false, "", true};

MacroCallResult Answer(std::string reply) {
    return {true, true, std::move(reply)};
}

CGameLink MakeLink(Script& script) {
    return CGameLink(std::make_unique<CRecordingTransport>(script),
                     [&script](milliseconds delay) { script.waits.push_back(delay); });
}

TEST(GameLinkRetry, RefusedAndFailedCallsAreRetriedTenTimesUnlessTheGameMayHaveRunThem) {
    const GameEnvironment english; // for the messages
    const std::string error = "Error while talking to game\nMacro: \"dde: putv paus\"";
    struct Case {
        const char* name;
        std::deque<MacroCallResult> answers;
        bool once;
        std::string outcome;
        std::size_t calls;
    };
    const Case cases[] = {
        {"refused once", {kRefused, Answer("1")}, false, "1", 2},
        {"always refused", {kRefused}, false, error, 10},
        {"always failing", {kFailedCall}, false, error, 10},
        {"once", {kRefused, Answer("x")}, true, error, 1},
        {"may have run", {kMayHaveRun, Answer("x")}, false, error, 1},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Script script{test.answers, {}, {}};
        CGameLink link = MakeLink(script);
        EXPECT_EQ(MacroOutcome(link, "dde: putv paus", test.once), test.outcome);
        EXPECT_EQ(script.calls, std::vector<std::string>(test.calls, "dde: putv paus"));
        EXPECT_EQ(script.waits, std::vector<milliseconds>(test.calls - 1, milliseconds(100)));
    }

    // "Café" and the euro sign as an agent file carries them.
    Script script{{kRefused}, {}, {}};
    CGameLink link = MakeLink(script);
    EXPECT_EQ(MacroOutcome(link, "conv Caf\xE9 \x80", true),
              "Error while talking to game\nMacro: \"conv Caf\xC3\xA9 \xE2\x82\xAC\"");
    EXPECT_EQ(script.calls, std::vector<std::string>{"conv Caf\xC3\xA9 \xE2\x82\xAC"});
}

TEST(GameLinkRetry, LongRepliesAreCutAtACharacterBoundary) {
    std::string twoByte, threeByte;
    for (int i = 0; i < 5000; ++i) {
        twoByte += "\xC3\xA9";
        threeByte += i < 3000 ? "\xE2\x82\xAC" : "";
    }
    // 8191 bytes end inside the 4096th two-byte character; after one letter,
    // 8191 = 1 + 3 * 2730 fits exactly; after two the cut falls inside one.
    const std::pair<std::string, std::string> replies[] = {
        {std::string(10000, 'a'), std::string(8191, 'a')},
        {std::string(8191, 'b'), std::string(8191, 'b')},
        {twoByte, twoByte.substr(0, 8190)},
        {"x" + threeByte, ("x" + threeByte).substr(0, 8191)},
        {"xy" + threeByte, ("xy" + threeByte).substr(0, 8189)},
    };
    Script script;
    CGameLink link = MakeLink(script);
    for (const auto& [reply, kept] : replies) {
        script.answers = {Answer(reply)};
        EXPECT_EQ(MacroOutcome(link, "dde: getb cnam"), kept) << reply.size();
    }
}

} // namespace
