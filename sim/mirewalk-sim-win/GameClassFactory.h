#pragma once

#include <windows.h>

// The class object for the game's CLSID: every creation hands out the one
// running game object, as the game does. Lives as long as the game.
class CGameClassFactory : public IClassFactory {
public:
    explicit CGameClassFactory(IDispatch& game);
    virtual ~CGameClassFactory() = default;
    CGameClassFactory(const CGameClassFactory&) = delete;
    CGameClassFactory& operator=(const CGameClassFactory&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IClassFactory
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    IDispatch& m_game;
    LONG m_references = 0;
};
