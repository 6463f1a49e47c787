#include "sim/mirewalk-sim-win/AppletClient.h"

#include "gamelink/GameContract.h"
#include "sim/mirewalk-sim-win/GameLog.h"
#include "sim/mirewalk-sim-win/NotificationValue.h"
#include "sim/mirewalk-sim-win/WinSimContract.h"
#include "sim/mirewalk-sim-win/WinText.h"

namespace {

std::string CallFailure(const char* call, HRESULT result) {
    return std::string(call) + ' ' + FormatHresult(result);
}

std::string Describe(const char* command, const NotificationBytes& bytes) {
    std::string text = command;
    for (const std::uint8_t byte : bytes) {
        text += ' ' + std::to_string(byte);
    }
    return text;
}

} // namespace

CAppletClient::CAppletClient(CGameLog& log) : m_log(log) {}

CAppletClient::~CAppletClient() {
    for (IDispatch* object : m_objects) {
        object->Release();
    }
}

std::string CAppletClient::CreateObject() {
    const std::wstring progId = ToWide(GameContract::kAppletServiceName);
    CLSID clsid;
    HRESULT result = CLSIDFromProgID(progId.c_str(), &clsid);
    if (FAILED(result)) {
        return CallFailure("CLSIDFromProgID", result);
    }
    IDispatch* object = nullptr;
    result = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(&object));
    if (FAILED(result)) {
        return CallFailure("CoCreateInstance", result);
    }
    // Looked up once: the game keeps the identifier for the object's lifetime.
    std::wstring method = ToWide(GameContract::kCommunicateMethod);
    LPOLESTR names[] = {method.data()};
    result = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &m_communicate);
    if (FAILED(result)) {
        object->Release();
        return CallFailure("GetIDsOfNames", result);
    }
    m_objects.push_back(object);
    const int number = m_nextAppletNumber++;
    m_log.Write(WinSimContract::kLogEvent,
                "created the applet's object number " + std::to_string(number));
    Notify({GameContract::kControlMessage, GameContract::kControlAppletNumber,
            static_cast<std::uint8_t>(number), 0});
    return {};
}

std::string CAppletClient::Notify(const NotificationBytes& bytes) {
    CNotificationValue value(VT_I4, bytes);
    return Notify(value, Passing::ByReference, Describe("notify", bytes));
}

std::string CAppletClient::Notify(CNotificationValue& value, Passing passing,
                                  const std::string& description) {
    if (!HoldsObject()) {
        return "no object held";
    }
    const std::string failure = Communicate(value.Variant(), passing);
    const std::string result = failure.empty() ? std::string(WinSimContract::kResultOk)
                                               : WinSimContract::kErrorPrefix + failure;
    m_log.Write(WinSimContract::kLogEvent, description + " -> " + result);
    return failure;
}

std::string CAppletClient::Communicate(VARIANT& first, Passing passing) {
    // The second argument is the applet's reply, which the game never reads.
    VARIANT reply;
    VariantInit(&reply);
    VARIANT arguments[2]; // in reverse order: the last argument first
    VariantInit(&arguments[0]);
    V_VT(&arguments[0]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&arguments[0]) = &reply;
    if (passing == Passing::ByReference) {
        VariantInit(&arguments[1]);
        V_VT(&arguments[1]) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&arguments[1]) = &first;
    } else {
        arguments[1] = first;
    }
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    VARIANT answer;
    VariantInit(&answer);
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const HRESULT result =
        m_objects.back()->Invoke(m_communicate, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                 &parameters, &answer, &exception, &argumentError);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    VariantClear(&reply);
    const bool answeredTrue = V_VT(&answer) == VT_BOOL && V_BOOL(&answer) != VARIANT_FALSE;
    const VARTYPE answerType = V_VT(&answer);
    VariantClear(&answer);
    if (FAILED(result)) {
        return CallFailure(GameContract::kCommunicateMethod, result);
    }
    if (answerType != VT_BOOL) {
        return std::string(GameContract::kCommunicateMethod) + " returned type " +
               std::to_string(answerType) + ", not VT_BOOL";
    }
    return answeredTrue ? std::string()
                        : std::string(GameContract::kCommunicateMethod) + " returned false";
}

std::string CAppletClient::Release() {
    if (!HoldsObject()) {
        return "no object held";
    }
    // The game holds one reference, from CoCreateInstance.
    const ULONG left = m_objects.back()->Release();
    m_objects.pop_back();
    m_log.Write(WinSimContract::kLogEvent,
                "released the applet's object, " + std::to_string(left) + " references left");
    return {};
}
