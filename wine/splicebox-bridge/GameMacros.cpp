#include "wine/splicebox-bridge/GameMacros.h"

#include "gamelink/GameContract.h"
#include "wine/splicebox-bridge/WideText.h"

#include <cstdio>

namespace {

// The game's macro method.
constexpr DISPID kExecuteMacroDispatchId = 10;

std::string Hex(const char* what, HRESULT result) {
    char text[64];
    std::snprintf(text, sizeof text, "%s 0x%08lX", what, static_cast<unsigned long>(result));
    return text;
}

// What COM answers for a server whose process has ended.
bool MeansGone(HRESULT result) {
    return result == RPC_E_DISCONNECTED || result == RPC_E_SERVER_DIED ||
           result == RPC_E_SERVER_DIED_DNE ||
           result == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) ||
           result == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED) || result == CO_E_OBJNOTCONNECTED;
}

} // namespace

CGameMacros::~CGameMacros() {
    Unbind();
}

HRESULT CGameMacros::Bind() {
    if (m_game != nullptr) {
        return S_OK;
    }
    const WideString progId = WideFromUtf8(GameContract::kMacroServerName);
    CLSID game;
    HRESULT result = CLSIDFromProgID(Wide(progId), &game);
    if (FAILED(result)) {
        return result;
    }
    // The running game first: the bridge serves a game, it never starts one.
    IUnknown* running = nullptr;
    result = GetActiveObject(game, nullptr, &running);
    if (SUCCEEDED(result)) {
        result = running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_game));
        running->Release();
        return result;
    }
    return CoCreateInstance(game, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                            reinterpret_cast<void**>(&m_game));
}

void CGameMacros::Unbind() {
    if (m_game != nullptr) {
        m_game->Release();
        m_game = nullptr;
    }
}

MacroOutcome CGameMacros::Execute(std::int16_t kind, const std::string& macro) {
    if (m_game == nullptr) {
        return {false, false, {}, "the bridge holds no game"};
    }
    const WideString wideMacro = WideFromUtf8(macro);
    BSTR text = SysAllocStringLen(Wide(wideMacro), static_cast<UINT>(wideMacro.size()));
    BSTR reply = SysAllocString(L"");
    // Arguments go in reverse order: the last is first.
    VARIANT arguments[3];
    for (auto& argument : arguments) {
        VariantInit(&argument);
    }
    arguments[2].vt = VT_I2;
    arguments[2].iVal = kind;
    arguments[1].vt = VT_BSTR;
    arguments[1].bstrVal = text;
    arguments[0].vt = VT_BYREF | VT_BSTR;
    arguments[0].pbstrVal = &reply;
    DISPPARAMS parameters{arguments, nullptr, 3, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT argumentError = 0;
    m_calling = true;
    HRESULT called =
        m_game->Invoke(kExecuteMacroDispatchId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                       &parameters, &result, &exception, &argumentError);
    m_calling = false;
    SysFreeString(text);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    MacroOutcome outcome;
    if (SUCCEEDED(called)) {
        called = VariantChangeType(&result, &result, 0, VT_BOOL);
    }
    if (FAILED(called)) {
        outcome.error = Hex("the game's macro call failed:", called);
    } else {
        outcome.answered = true;
        outcome.ok = result.boolVal != VARIANT_FALSE;
        outcome.reply = ReplyFromWide(reply, reply != nullptr ? SysStringLen(reply) : 0);
    }
    VariantClear(&result);
    SysFreeString(reply);
    return outcome;
}

bool CGameMacros::StillThere() {
    if (m_game == nullptr) {
        return false;
    }
    UINT count = 0;
    return !MeansGone(m_game->GetTypeInfoCount(&count));
}
