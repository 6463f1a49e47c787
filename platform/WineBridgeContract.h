#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What the bridge inside Wine (wine/splicebox-bridge) serves to this machine's
// programs on the session bus, besides the game's macro server. Both sides
// include this header; nothing else spells these names out.
//
// Every bridge serves kInterface at kPath under its unique bus name:
//   Prefix() -> (s)                        the Wine prefix as this machine's path
//   OpenKey(s root, s subkey, b create) -> (u status, b created)
//   ReadValue(s root, s subkey, s name) -> (u status, u type, ay data)
//   WriteValue(s root, s subkey, s name, u type, ay data) -> (u status)
//   RegisterServer() -> (u status)         registers the bridge as the applet's
//                                          automation object, in both registry views
//   LinkGame() -> (u status)               binds to the running game's macro server
//                                          and serves it on the bus
// Roots are "HKEY_LOCAL_MACHINE" (read and written in the 32-bit view, where a
// 32-bit game keeps its settings), "HKEY_CURRENT_USER" and "HKEY_CLASSES_ROOT".
// String values (types 1 and 2) travel as UTF-8 with their terminating zero;
// every other type as the registry holds it.
//
// The applet that a bridge starts learns that it runs for Wine by asking its
// creator for Prefix(). A bridge that a program of this machine starts for
// itself runs as "splicebox-bridge.exe.so --client NAME", owns
// ClientServiceName(NAME) and ends once NAME leaves the bus.
namespace WineBridgeContract {

inline constexpr const char* kPath = "/Splicebox/Wine";
inline constexpr const char* kInterface = "Splicebox.Wine";
inline constexpr const char* kPrefixMethod = "Prefix";
inline constexpr const char* kOpenKeyMethod = "OpenKey";
inline constexpr const char* kReadValueMethod = "ReadValue";
inline constexpr const char* kWriteValueMethod = "WriteValue";
inline constexpr const char* kRegisterServerMethod = "RegisterServer";
inline constexpr const char* kLinkGameMethod = "LinkGame";

// The bridge's file name beside this machine's programs, and its switch for a
// bridge started by one of them.
inline constexpr const char* kBridgeFileName = "splicebox-bridge.exe.so";
inline constexpr const char* kClientSwitch = "--client";

// ClientServiceName(":1.42") is "Splicebox.Wine.c1_42": a unique name with its
// colon dropped and dots turned into underscores, which a bus name element allows.
inline constexpr const char* kClientServicePrefix = "Splicebox.Wine.c";

inline std::string ClientServiceName(std::string_view uniqueName) {
    std::string name = kClientServicePrefix;
    for (const char c : uniqueName.substr(uniqueName.starts_with(':') ? 1 : 0)) {
        name += c == '.' ? '_' : c;
    }
    return name;
}

enum Status : std::uint32_t {
    kOk = 0,
    kMissing = 1, // no such key or value; LinkGame: no game is running
    kFailed = 2,
};

} // namespace WineBridgeContract
