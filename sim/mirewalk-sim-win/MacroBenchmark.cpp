#include "sim/mirewalk-sim-win/MacroBenchmark.h"

#include "gamelink/GameContract.h"
#include "sim/mirewalk-sim-win/ComApartment.h"
#include "sim/mirewalk-sim-win/WinSimContract.h"
#include "sim/mirewalk-sim-win/WinText.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

struct ComReleaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
using DispatchPtr = std::unique_ptr<IDispatch, ComReleaser>;

struct StringFreer {
    void operator()(BSTR text) const { SysFreeString(text); }
};
using StringPtr = std::unique_ptr<OLECHAR, StringFreer>;

DispatchPtr FindRunningGame() {
    IUnknown* running = nullptr;
    const HRESULT active = GetActiveObject(WinSimContract::kGameClsid, nullptr, &running);
    if (SUCCEEDED(active)) {
        IDispatch* game = nullptr;
        const HRESULT query =
            running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&game));
        running->Release();
        if (FAILED(query)) {
            throw std::runtime_error("the game's object has no IDispatch: " + FormatHresult(query));
        }
        return DispatchPtr(game);
    }
    IDispatch* game = nullptr;
    const HRESULT created =
        CoCreateInstance(WinSimContract::kGameClsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                         reinterpret_cast<void**>(&game));
    if (FAILED(created)) {
        throw std::runtime_error("the game is not running: GetActiveObject " +
                                 FormatHresult(active) + ", CoCreateInstance " +
                                 FormatHresult(created));
    }
    return DispatchPtr(game);
}

// One ExecuteMacro call, with the reply empty on entry as the game expects it.
// Returns its time in microseconds.
double TimeOneCall(IDispatch& game, BSTR macro, unsigned long number) {
    BSTR reply = SysAllocString(L"");
    VARIANT arguments[3]; // last argument first
    VariantInit(&arguments[0]);
    V_VT(&arguments[0]) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&arguments[0]) = &reply;
    VariantInit(&arguments[1]);
    V_VT(&arguments[1]) = VT_BSTR;
    V_BSTR(&arguments[1]) = macro;
    VariantInit(&arguments[2]);
    V_VT(&arguments[2]) = VT_I2;
    V_I2(&arguments[2]) = GameContract::kMacroKind;
    DISPPARAMS parameters{arguments, nullptr, 3, 0};
    VARIANT answer;
    VariantInit(&answer);

    LARGE_INTEGER start;
    LARGE_INTEGER end;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&start);
    const HRESULT result =
        game.Invoke(WinSimContract::kExecuteMacroDispId, IID_NULL, LOCALE_USER_DEFAULT,
                    DISPATCH_METHOD, &parameters, &answer, nullptr, nullptr);
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);

    // The callee freed the reply it was given and stored its own.
    SysFreeString(reply);
    const bool answered = V_VT(&answer) == VT_BOOL && V_BOOL(&answer) != VARIANT_FALSE;
    VariantClear(&answer);
    if (FAILED(result)) {
        throw std::runtime_error("call " + std::to_string(number) +
                                 " failed: " + FormatHresult(result));
    }
    if (!answered) {
        throw std::runtime_error("call " + std::to_string(number) + " was refused");
    }
    constexpr double kMicrosecondsPerSecond = 1e6;
    return static_cast<double>(end.QuadPart - start.QuadPart) * kMicrosecondsPerSecond /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

void RunMacroBenchmark(unsigned long count, const std::wstring& macro) {
    const CComApartment apartment;
    const DispatchPtr game = FindRunningGame();
    const StringPtr macroText(SysAllocStringLen(macro.data(), static_cast<UINT>(macro.size())));
    std::vector<double> times;
    times.reserve(count);
    for (unsigned long i = 1; i <= count; ++i) {
        times.push_back(TimeOneCall(*game, macroText.get(), i));
    }
    // Room for any call time below a million years in microseconds.
    char line[64];
    std::snprintf(line, sizeof line, "median_us %.1f\n", Median(std::move(times)));
    WriteText(GetStdHandle(STD_OUTPUT_HANDLE), line);
}
