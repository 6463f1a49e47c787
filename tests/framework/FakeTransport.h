#pragma once

#include "gamelink/GameLink.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// The game's side of the macro channel for tests: answers from a table,
// records every macro, and refuses to connect or to answer on request. The
// state lives in a shared record so the test keeps it after the link took the
// transport.
struct FakeGameRecord {
    bool reachable = true;
    bool connected = false;
    std::map<std::string, std::string> replies;
    std::set<std::string> failing;
    std::vector<std::string> macros;
};

class CFakeTransport : public IMacroTransport {
public:
    explicit CFakeTransport(std::shared_ptr<FakeGameRecord> record) : m_record(std::move(record)) {}

    bool Connect() override { return m_record->connected = m_record->reachable; }
    void Disconnect() override { m_record->connected = false; }
    bool IsConnected() const override { return m_record->connected; }
    MacroCallResult Call(std::string_view macro) override {
        const std::string text(macro);
        m_record->macros.push_back(text);
        if (m_record->failing.contains(text)) {
            return {};
        }
        const auto found = m_record->replies.find(text);
        return {true, true, found != m_record->replies.end() ? found->second : ""};
    }

private:
    std::shared_ptr<FakeGameRecord> m_record;
};
