#include "wine/splicebox-bridge/ClassFactory.h"

HRESULT CClassFactory::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    auto* created = new CInjectorObject(m_host);
    HRESULT result = m_host.ObjectCreated(*created);
    if (SUCCEEDED(result)) {
        result = created->QueryInterface(id, object);
    }
    // The game holds its own reference now, or the object goes.
    created->Release();
    return result;
}

HRESULT CClassFactory::LockServer(BOOL) {
    return S_OK;
}
