#include "gamelink/GameLink.h"

#include "app/KitException.h"
#include "gamelink/GameContract.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

using std::chrono::milliseconds;

// What the recording transport saw and what it answers, shared with the test
// because the link owns the transport.
struct Script {
    explicit Script(std::deque<MacroCallResult> scripted) : answers(std::move(scripted)) {}
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

std::string CaughtMessage(CGameLink& link, const char* macro, bool once = false) {
    try {
        once ? link.ExecuteMacroOnce(macro) : link.ExecuteMacro(macro);
    } catch (const CKitException& e) {
        return e.m_message;
    }
    return "(nothing thrown)";
}

class GameLinkRetry : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("LANG", "en_US.UTF-8", 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
    }
};

TEST_F(GameLinkRetry, ARefusedMacroIsSentAgainAfterOneWait) {
    Script script{{kRefused, Answer("1")}};
    CGameLink link = MakeLink(script);
    EXPECT_STREQ(link.ExecuteMacro("dde: putv paus"), "1");
    EXPECT_EQ(script.calls, (std::vector<std::string>{"dde: putv paus", "dde: putv paus"}));
    EXPECT_EQ(script.waits, std::vector<milliseconds>{milliseconds(100)});
}

TEST_F(GameLinkRetry, TenFailedAttemptsRaiseTheMessageWithTheMacro) {
    for (const MacroCallResult& failure : {kRefused, kFailedCall}) {
        Script script{{failure}};
        CGameLink link = MakeLink(script);
        EXPECT_EQ(CaughtMessage(link, "dde: putv paus"),
                  "Error while talking to game\nMacro: \"dde: putv paus\"");
        EXPECT_EQ(script.calls.size(), 10u);
        EXPECT_EQ(script.waits, std::vector<milliseconds>(9, milliseconds(100)));
    }
    Script script{{kRefused, Answer("never reached")}};
    CGameLink link = MakeLink(script);
    EXPECT_EQ(CaughtMessage(link, "dde: getb cnam", true),
              "Error while talking to game\nMacro: \"dde: getb cnam\"");
    EXPECT_EQ(script.calls.size(), 1u);
    EXPECT_TRUE(script.waits.empty());
}

TEST_F(GameLinkRetry, AnAttemptTheGameMayHaveRunIsNeverSentAgain) {
    Script script{{kMayHaveRun, Answer("never reached")}};
    CGameLink link = MakeLink(script);
    EXPECT_EQ(CaughtMessage(link, "inst,new: simp ball 4 0 1000 0,endm"),
              "Error while talking to game\nMacro: \"inst,new: simp ball 4 0 1000 0,endm\"");
    EXPECT_EQ(script.calls.size(), 1u);
    EXPECT_TRUE(script.waits.empty());
}

TEST_F(GameLinkRetry, EveryReplyReplacesTheLastInOneSharedBuffer) {
    Script script{{Answer("Bob"), Answer(""), Answer("second"), kRefused}};
    CGameLink link = MakeLink(script);
    Script otherScript{{Answer("other link")}};
    CGameLink otherLink = MakeLink(otherScript);

    const char* first = link.ExecuteMacro("dde: getb cnam");
    EXPECT_STREQ(first, "Bob");
    EXPECT_STREQ(link.ExecuteMacro("dde: putv ownr"), "");
    EXPECT_STREQ(link.ExecuteMacro("dde: putv paus"), "second");
    EXPECT_EQ(otherLink.ExecuteMacro("dde: putv paus"), first);
    EXPECT_STREQ(first, "other link");
    // A failed attempt empties the buffer: nothing of an earlier reply survives.
    CaughtMessage(link, "dde: putv paus", true);
    EXPECT_STREQ(first, "");
}

TEST_F(GameLinkRetry, LongRepliesAreCutAtACharacterBoundary) {
    const auto replyOf = [](const std::string& reply) {
        Script script{{Answer(reply)}};
        CGameLink link = MakeLink(script);
        return std::string(link.ExecuteMacro("dde: getb cnam"));
    };
    EXPECT_EQ(replyOf(std::string(10000, 'a')), std::string(8191, 'a'));
    EXPECT_EQ(replyOf(std::string(8191, 'b')), std::string(8191, 'b'));
    // 8191 bytes would end inside the 4096th two-byte character.
    std::string twoByte;
    for (int i = 0; i < 5000; ++i) {
        twoByte += "\xC3\xA9";
    }
    EXPECT_EQ(replyOf(twoByte), twoByte.substr(0, 8190));
    // Three-byte characters after one letter: 8191 = 1 + 3 * 2730 fits exactly;
    // after two letters the cut falls two bytes into a character.
    std::string threeByte;
    for (int i = 0; i < 3000; ++i) {
        threeByte += "\xE2\x82\xAC";
    }
    EXPECT_EQ(replyOf("x" + threeByte), ("x" + threeByte).substr(0, 8191));
    EXPECT_EQ(replyOf("xy" + threeByte), ("xy" + threeByte).substr(0, 8189));
}

TEST_F(GameLinkRetry, Windows1252MacrosTravelAndAreReportedAsUtf8) {
    Script script{{kRefused}};
    CGameLink link = MakeLink(script);
    // "Café" and the euro sign as an agent file carries them.
    EXPECT_EQ(
        CaughtMessage(link, "inst,sys: conv Caf\xE9 0,endm \x80"),
        "Error while talking to game\nMacro: \"inst,sys: conv Caf\xC3\xA9 0,endm \xE2\x82\xAC\"");
    EXPECT_EQ(script.calls.front(), "inst,sys: conv Caf\xC3\xA9 0,endm \xE2\x82\xAC");
}

TEST(GameContractReplies, OnlyTheFirstCharacterCounts) {
    for (const char* reply : {"1", "42", "A"}) {
        EXPECT_TRUE(GameContract::ReplyMeansSubject(reply)) << reply;
    }
    for (const char* reply : {"0", "", "05"}) {
        EXPECT_FALSE(GameContract::ReplyMeansSubject(reply)) << reply;
    }
    for (const char* reply : {"1", "12"}) {
        EXPECT_TRUE(GameContract::ReplyMeansPaused(reply)) << reply;
    }
    for (const char* reply : {"0", "", "2"}) {
        EXPECT_FALSE(GameContract::ReplyMeansPaused(reply)) << reply;
    }
}

} // namespace
