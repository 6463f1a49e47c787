#pragma once

#include <windows.h>

#include <ole2.h>

#include <cstdint>
#include <string>

class CInjectorObject;

// What the game's use of an object means on the bus; the bridge implements it.
class IInjectorHost {
public:
    virtual ~IInjectorHost() = default;
    // A new object: the applet's own object is asked for; a failure fails the creation.
    virtual HRESULT ObjectCreated(CInjectorObject& object) = 0;
    virtual void Notified(const CInjectorObject& object, std::uint32_t message) = 0;
    // The game let go of the object; it is deleted after this returns.
    virtual void ObjectReleased(const CInjectorObject& object) = 0;
};

// The automation object "MW_Injector.OLE" as the game holds it: one method,
// Communicate, whose first argument's four value bytes are a notification.
// Each object stands for one object of the applet on the bus.
class CInjectorObject final : public IDispatch {
public:
    explicit CInjectorObject(IInjectorHost& host) : m_host(host) {}

    // The applet's object on the bus: the owner's unique name and the path.
    void BindToApplet(std::string owner, std::string path);
    const std::string& AppletOwner() const { return m_owner; }
    const std::string& AppletPath() const { return m_path; }

    // The four bytes of a notification: the value field of the first argument,
    // or of the VARIANT it points to when passed by reference, in memory order
    // whatever its type.
    static std::uint32_t NotificationBytes(const VARIANT& message);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

private:
    ~CInjectorObject() = default;

    IInjectorHost& m_host;
    LONG m_references = 1;
    std::string m_owner;
    std::string m_path;
};
