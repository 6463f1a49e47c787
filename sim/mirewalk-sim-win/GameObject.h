#pragma once

#include <windows.h>

class CGameLog;
class CSimGame;

// The game's automation object: one ExecuteMacro method behind IDispatch.
// There is one for the game's whole run; it lives as long as the game does,
// so the reference count is kept only to answer AddRef and Release.
class CGameObject : public IDispatch {
public:
    CGameObject(CSimGame& game, CGameLog& log);
    virtual ~CGameObject() = default;
    CGameObject(const CGameObject&) = delete;
    CGameObject& operator=(const CGameObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT nameCount,
                                            LCID locale, DISPID* dispIds) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispId, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

private:
    HRESULT ExecuteMacro(DISPPARAMS& parameters, VARIANT* result);

    CSimGame& m_game;
    CGameLog& m_log;
    LONG m_references = 0;
};
