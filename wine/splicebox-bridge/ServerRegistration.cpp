#include "wine/splicebox-bridge/ServerRegistration.h"

#include "gamelink/GameContract.h"
#include "platform/WineBridgeContract.h"
#include "wine/splicebox-bridge/OwnFile.h"
#include "wine/splicebox-bridge/WideText.h"

#include <objbase.h>

namespace {

constexpr const char16_t* kDescription = u"Splicebox";
// Wine starts the server with this and "-Embedding" appended.
constexpr const char16_t* kStartSwitch = u" -Automation";
// Room for "{" 32 hex digits, 4 dashes "}" and the zero.
constexpr int kClassIdLength = 39;
constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

bool SetDefault(HKEY parent, const WideString& path, REGSAM view, const WideString& text) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, Wide(path), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LSTATUS result =
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// The command that starts this file, in the prefix's own terms.
WideString ServerCommand() {
    const std::string own = OwnFilePath();
    WCHAR* dos = own.empty() ? nullptr : wine_get_dos_file_name(own.c_str());
    if (dos == nullptr) {
        return {};
    }
    WideString command = u"\"" + WideFrom(dos) + u"\"" + kStartSwitch;
    HeapFree(GetProcessHeap(), 0, dos);
    return command;
}

} // namespace

std::uint32_t RegisterInjectorServer() {
    const WideString command = ServerCommand();
    WCHAR classText[kClassIdLength];
    if (command.empty() || StringFromGUID2(kInjectorClassId, classText, kClassIdLength) == 0) {
        return WineBridgeContract::kFailed;
    }
    const WideString classId = WideFrom(classText);
    const WideString progId = WideFromUtf8(GameContract::kAppletServiceName);
    const WideString classKey = u"CLSID\\" + classId;
    bool ok = true;
    for (const REGSAM view : kViews) {
        ok = ok && SetDefault(HKEY_CLASSES_ROOT, progId, view, kDescription) &&
             SetDefault(HKEY_CLASSES_ROOT, progId + u"\\CLSID", view, classId) &&
             SetDefault(HKEY_CLASSES_ROOT, classKey, view, kDescription) &&
             SetDefault(HKEY_CLASSES_ROOT, classKey + u"\\ProgID", view, progId) &&
             SetDefault(HKEY_CLASSES_ROOT, classKey + u"\\LocalServer32", view, command);
    }
    return ok ? WineBridgeContract::kOk : WineBridgeContract::kFailed;
}
