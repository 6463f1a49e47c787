#pragma once

#include "wine/splicebox-bridge/InjectorObject.h"

#include <windows.h>

#include <objbase.h>

// Makes an injector object for each of the game's creation requests; one
// registered factory serves every request, so one bridge (and one applet)
// serves the game.
class CClassFactory final : public IClassFactory {
public:
    explicit CClassFactory(IInjectorHost& host) : m_host(host) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    // The factory lives as long as the bridge; its count is not kept.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID id, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    IInjectorHost& m_host;
};
