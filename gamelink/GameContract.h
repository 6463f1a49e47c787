#pragma once

#include <cstdint>

// Everything the applet relies on from the game "Mirewalk 2", written down once.
// The applet, the game substitute and the tests all use these names; nothing
// else spells them out.
namespace GameContract {

// --- The game's macro server ----------------------------------------------
// ExecuteMacro(n kind, s macro) -> (b ok, s reply). The game may take as long
// as it needs to answer. ok false is a refused macro; a D-Bus error (no owner,
// an error reply, the game leaving the bus while it runs the macro) is a failed
// call. Both count as one failed attempt; the same macro is then sent again
// whole.
inline constexpr const char* kMacroServerName = "MWGS.OLE";
inline constexpr const char* kMacroServerPath = "/";
inline constexpr const char* kMacroServerInterface = "MWGS.OLE";
inline constexpr const char* kExecuteMacroMethod = "ExecuteMacro";
// The first argument's meaning is the game's; the applet always sends 1.
inline constexpr std::int16_t kMacroKind = 1;

// --- The macros the applet sends, and the replies relied on ----------------
// Reply: first character neither "0" nor absent means the game has a subject.
inline constexpr const char* kMacroQuerySubject = "dde: putv ownr";
// Reply: first character "1" means paused.
inline constexpr const char* kMacroQueryPaused = "dde: putv paus";
// Reply: the whole text is the subject's name.
inline constexpr const char* kMacroQuerySubjectName = "dde: getb cnam";
// With the applet's number; reply not read.
inline constexpr const char* kMacroQuitApplet = "inst,app: quit %d,endm";
// With at most the first four characters of the name of an image file just
// written (a precision, then the name); reply not read.
inline constexpr const char* kMacroConvertImage = "inst,sys: conv %.*s 0,endm";

inline bool ReplyMeansSubject(const char* reply) {
    return reply[0] != '\0' && reply[0] != '0';
}
inline bool ReplyMeansPaused(const char* reply) {
    return reply[0] == '1';
}

// --- The applet's automation object, which the game asks for ---------------
// The factory at kAppletFactoryPath answers CreateObject() -> (o path); each
// object answers Communicate(v message, v reply) -> (b) and Release(). The
// bus starts the applet on the game's first CreateObject.
inline constexpr const char* kAppletServiceName = "MW_Injector.OLE";
inline constexpr const char* kAppletFactoryPath = "/";
inline constexpr const char* kAppletInterface = "MW_Injector.OLE";
inline constexpr const char* kCreateObjectMethod = "CreateObject";
inline constexpr const char* kCommunicateMethod = "Communicate";
inline constexpr const char* kReleaseMethod = "Release";

// --- Notifications: four bytes m0..m3, lowest byte of a 32-bit value first --
// m0 kControlMessage: m1 selects the control, the notification byte follows it
// (m3 after kControlAppletNumber, whose m2 is the applet's number; m2 otherwise).
// m0 kNotificationOnly: m1 is the notification byte. For kNotifyPauseChanged the
// byte after the notification byte is the pause flag.
inline constexpr std::uint8_t kControlMessage = 1;
inline constexpr std::uint8_t kNotificationOnly = 2;

inline constexpr std::uint8_t kControl1 = 1;
inline constexpr std::uint8_t kControl2 = 2;
inline constexpr std::uint8_t kControlAppletNumber = 3;

// 6, 7 and 8 all mean to the applet that the subject may have changed.
inline constexpr std::uint8_t kNotifySubjectChanged = 6;
inline constexpr std::uint8_t kNotifyEvent7 = 7;
inline constexpr std::uint8_t kNotifyEvent8 = 8;
inline constexpr std::uint8_t kNotifyEvent9 = 9;
inline constexpr std::uint8_t kNotifyPauseChanged = 10;

// --- The game's settings ----------------------------------------------------
// The key kGameKeyPath (core/RegistryKey.h) exists under both registry roots;
// the eight directory values live under the machine root, absolute and ending
// in "/"; the user root's key exists before the applet registers.
inline constexpr int kGameDirectoryCount = 8;
// Folder names inside the game folder and the value name of each, by index.
inline constexpr const char* kGameDirectoryFolders[kGameDirectoryCount] = {
    "Main", "Genetics", "Objects", "Applet Data", "Images", "Sounds", "History", "Eggs",
};
inline constexpr const char* kGameDirectoryValues[kGameDirectoryCount] = {
    "Main Directory",   "Genetics Directory", "Objects Directory", "Applet Data Directory",
    "Images Directory", "Sounds Directory",   "History Directory", "Eggs Directory",
};

} // namespace GameContract
