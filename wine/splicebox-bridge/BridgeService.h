#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// How one macro call to the game ended: answered (with its true/false result
// and its reply), or failed before the game could answer.
struct MacroOutcome {
    bool answered = false;
    bool ok = false;
    std::string reply; // UTF-8
    std::string error; // why the call failed, when it did
};

// What the bridge does for callers on the bus. The bus thread calls these; the
// ones that need the game's apartment answer later through `done`, from any
// thread.
class IBridgeService {
public:
    virtual ~IBridgeService() = default;

    virtual std::string Prefix() = 0;
    virtual std::uint32_t OpenKey(const std::string& root, const std::string& subkey, bool create,
                                  bool& created) = 0;
    virtual std::uint32_t ReadValue(const std::string& root, const std::string& subkey,
                                    const std::string& name, std::uint32_t& type,
                                    std::vector<std::uint8_t>& data) = 0;
    virtual std::uint32_t WriteValue(const std::string& root, const std::string& subkey,
                                     const std::string& name, std::uint32_t type,
                                     const std::vector<std::uint8_t>& data) = 0;
    virtual std::uint32_t RegisterServer() = 0;

    virtual void LinkGame(std::function<void(std::uint32_t)> done) = 0;
    virtual void ExecuteMacro(std::int16_t kind, std::string macro,
                              std::function<void(MacroOutcome)> done) = 0;

    // A name that the bus was asked to watch has lost its owner.
    virtual void NameLeft(const std::string& name) = 0;
    // The connection to the bus is gone.
    virtual void BusLost() = 0;
};
