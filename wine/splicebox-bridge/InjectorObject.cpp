#include "wine/splicebox-bridge/InjectorObject.h"

#include "gamelink/GameContract.h"
#include "wine/splicebox-bridge/WideText.h"

#include <algorithm>
#include <cstring>

namespace {

// Communicate, the object's one method, by position.
constexpr DISPID kCommunicateDispatchId = 1;
constexpr UINT kCommunicateArgumentCount = 2;

bool IsCommunicate(const WCHAR* name) {
    const WideString communicate = WideFromUtf8(GameContract::kCommunicateMethod);
    return name != nullptr && lstrcmpiW(name, Wide(communicate)) == 0;
}

} // namespace

void CInjectorObject::BindToApplet(std::string owner, std::string path) {
    m_owner = std::move(owner);
    m_path = std::move(path);
}

std::uint32_t CInjectorObject::NotificationBytes(const VARIANT& message) {
    const VARIANT& held = message.vt == (VT_BYREF | VT_VARIANT) && message.pvarVal != nullptr
                              ? *message.pvarVal
                              : message;
    std::uint32_t bytes = 0;
    std::memcpy(&bytes, &held.lVal, sizeof bytes);
    return bytes;
}

HRESULT CInjectorObject::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CInjectorObject::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG CInjectorObject::Release() {
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
        m_host.ObjectReleased(*this);
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT CInjectorObject::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT CInjectorObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return DISP_E_BADINDEX;
}

HRESULT CInjectorObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (names == nullptr || ids == nullptr || count == 0) {
        return E_INVALIDARG;
    }
    std::fill_n(ids, count, DISPID_UNKNOWN);
    if (count != 1 || !IsCommunicate(names[0])) {
        return DISP_E_UNKNOWNNAME;
    }
    ids[0] = kCommunicateDispatchId;
    return S_OK;
}

HRESULT CInjectorObject::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                VARIANT* result, EXCEPINFO*, UINT*) {
    if (member != kCommunicateDispatchId || (flags & DISPATCH_METHOD) == 0) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (parameters == nullptr || parameters->cArgs != kCommunicateArgumentCount) {
        return DISP_E_BADPARAMCOUNT;
    }
    // Arguments go in reverse order: the message is the last one.
    m_host.Notified(*this, NotificationBytes(parameters->rgvarg[kCommunicateArgumentCount - 1]));
    if (result != nullptr) {
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
    }
    return S_OK;
}
