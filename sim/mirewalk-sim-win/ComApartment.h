#pragma once

#include "sim/mirewalk-sim-win/WinText.h"

#include <windows.h>

#include <stdexcept>

// This thread in a single-threaded apartment, for as long as the object lives:
// the game serves and makes every COM call on its main thread, which pumps
// messages.
class CComApartment {
public:
    CComApartment() {
        const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(result)) {
            throw std::runtime_error("CoInitializeEx " + FormatHresult(result));
        }
    }
    ~CComApartment() { CoUninitialize(); }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;
};
