#include "sim/mirewalk-sim-win/GameObject.h"

#include "gamelink/GameContract.h"
#include "sim/mirewalk-sim-win/GameLog.h"
#include "sim/mirewalk-sim-win/SimGame.h"
#include "sim/mirewalk-sim-win/WinSimContract.h"
#include "sim/mirewalk-sim-win/WinText.h"

#include <new>
#include <string>
#include <string_view>

namespace {

// ExecuteMacro(kind, macro, reply): its argument count, and the position of
// each argument in DISPPARAMS::rgvarg, which holds them last first.
constexpr UINT kMacroArgumentCount = 3;
constexpr UINT kKindArgument = 2;
constexpr UINT kMacroArgument = 1;
constexpr UINT kReplyArgument = 0;

// Why a call cannot be a macro, with the error Invoke returns for it.
struct Rejection {
    HRESULT error = S_OK;
    std::string reason;
    // The rgvarg position of the argument at fault, if one is.
    int argument = -1;
};

std::string TypeOf(const VARIANT& argument) {
    return "VARTYPE " + std::to_string(V_VT(&argument));
}

Rejection CheckArguments(const DISPPARAMS& parameters) {
    if (parameters.cNamedArgs != 0) {
        return {DISP_E_NONAMEDARGS, "named arguments given"};
    }
    if (parameters.cArgs != kMacroArgumentCount) {
        return {DISP_E_BADPARAMCOUNT, std::to_string(parameters.cArgs) + " arguments, not " +
                                          std::to_string(kMacroArgumentCount)};
    }
    const VARIANT& kind = parameters.rgvarg[kKindArgument];
    if (V_VT(&kind) != VT_I2) {
        return {DISP_E_TYPEMISMATCH, "first argument of " + TypeOf(kind) + ", not VT_I2",
                kKindArgument};
    }
    if (V_I2(&kind) != GameContract::kMacroKind) {
        return {DISP_E_TYPEMISMATCH,
                "first argument " + std::to_string(V_I2(&kind)) + ", not " +
                    std::to_string(GameContract::kMacroKind),
                kKindArgument};
    }
    const VARIANT& macro = parameters.rgvarg[kMacroArgument];
    if (V_VT(&macro) != VT_BSTR) {
        return {DISP_E_TYPEMISMATCH, "second argument of " + TypeOf(macro) + ", not VT_BSTR",
                kMacroArgument};
    }
    const VARIANT& reply = parameters.rgvarg[kReplyArgument];
    if (V_VT(&reply) != (VT_BYREF | VT_BSTR) || V_BSTRREF(&reply) == nullptr) {
        return {DISP_E_TYPEMISMATCH,
                "third argument of " + TypeOf(reply) + ", not VT_BYREF | VT_BSTR", kReplyArgument};
    }
    return {};
}

Rejection CheckCall(DISPID dispId, REFIID iid, WORD flags, const DISPPARAMS* parameters) {
    if (dispId != WinSimContract::kExecuteMacroDispId) {
        return {DISP_E_MEMBERNOTFOUND, "dispatch identifier " + std::to_string(dispId) +
                                           " is not " + GameContract::kExecuteMacroMethod};
    }
    if (iid != IID_NULL) {
        return {DISP_E_UNKNOWNINTERFACE, "interface identifier not IID_NULL"};
    }
    // Automation clients often ask for a method or a property at once.
    if ((flags & DISPATCH_METHOD) == 0) {
        return {DISP_E_MEMBERNOTFOUND,
                "flags " + std::to_string(flags) + " without DISPATCH_METHOD"};
    }
    if (parameters == nullptr) {
        return {DISP_E_BADPARAMCOUNT, "no parameters"};
    }
    return CheckArguments(*parameters);
}

} // namespace

CGameObject::CGameObject(CSimGame& game, CGameLog& log) : m_game(game), m_log(log) {}

HRESULT CGameObject::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid != IID_IUnknown && iid != IID_IDispatch) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG CGameObject::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG CGameObject::Release() {
    return static_cast<ULONG>(InterlockedDecrement(&m_references));
}

HRESULT CGameObject::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0; // the game describes its method to nobody
    return S_OK;
}

HRESULT CGameObject::GetTypeInfo(UINT /*index*/, LCID /*locale*/, ITypeInfo** typeInfo) {
    if (typeInfo != nullptr) {
        *typeInfo = nullptr;
    }
    return DISP_E_BADINDEX;
}

HRESULT CGameObject::GetIDsOfNames(REFIID /*iid*/, LPOLESTR* names, UINT nameCount, LCID /*locale*/,
                                   DISPID* dispIds) {
    if (names == nullptr || dispIds == nullptr || nameCount == 0) {
        return E_INVALIDARG;
    }
    const std::wstring method = ToWide(GameContract::kExecuteMacroMethod);
    const bool known = names[0] != nullptr &&
                       CompareStringOrdinal(names[0], -1, method.c_str(), -1, TRUE) == CSTR_EQUAL;
    dispIds[0] = known ? WinSimContract::kExecuteMacroDispId : DISPID_UNKNOWN;
    // The method has no named parameters.
    for (UINT i = 1; i < nameCount; ++i) {
        dispIds[i] = DISPID_UNKNOWN;
    }
    return known && nameCount == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT CGameObject::Invoke(DISPID dispId, REFIID iid, LCID /*locale*/, WORD flags,
                            DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* /*exception*/,
                            UINT* argumentError) {
    // Nothing may leave a COM method as an exception.
    try {
        const Rejection rejection = CheckCall(dispId, iid, flags, parameters);
        if (FAILED(rejection.error)) {
            m_log.Write(WinSimContract::kLogEvent, "Invoke rejected: " + rejection.reason);
            if (rejection.argument >= 0 && argumentError != nullptr) {
                *argumentError = static_cast<UINT>(rejection.argument);
            }
            return rejection.error;
        }
        return ExecuteMacro(*parameters, result);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT CGameObject::ExecuteMacro(DISPPARAMS& parameters, VARIANT* result) {
    const BSTR macro = V_BSTR(&parameters.rgvarg[kMacroArgument]);
    const MacroAnswer answer = m_game.AnswerMacro(std::wstring_view(macro, SysStringLen(macro)));
    // A slow game is busy with the macro: it answers nothing else meanwhile,
    // and what arrived in the meantime is handled once it has answered.
    Sleep(static_cast<DWORD>(m_game.AnswerDelay().count()));
    if (answer.outcome == MacroAnswer::Outcome::Failed) {
        return E_FAIL;
    }
    const BSTR reply =
        SysAllocStringLen(answer.reply.data(), static_cast<UINT>(answer.reply.size()));
    if (reply == nullptr) {
        return E_OUTOFMEMORY;
    }
    BSTR* replyStorage = V_BSTRREF(&parameters.rgvarg[kReplyArgument]);
    SysFreeString(*replyStorage);
    *replyStorage = reply;
    if (result != nullptr) {
        VariantInit(result);
        V_VT(result) = VT_BOOL;
        V_BOOL(result) =
            answer.outcome == MacroAnswer::Outcome::Answered ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return S_OK;
}
