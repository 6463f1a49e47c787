#pragma once

#include "sim/mirewalk-sim-win/CommandWords.h"

#include <windows.h>

#include <cstdint>

// The first argument of a notification: a VARIANT of a chosen type whose value
// field holds the four bytes, or, for a by-reference type, points to storage
// that begins with them. Other types exist to test how the applet's side
// handles them.
class CNotificationValue {
public:
    // Only types whose value is plain data: the marshaller would take the
    // bytes of any other type for a pointer and read through it.
    static bool CanCarry(VARTYPE type);

    // type must be one that CanCarry.
    CNotificationValue(VARTYPE type, const NotificationBytes& bytes);
    ~CNotificationValue();
    // The variant may point into the object itself.
    CNotificationValue(const CNotificationValue&) = delete;
    CNotificationValue& operator=(const CNotificationValue&) = delete;

    VARIANT& Variant() { return m_variant; }

private:
    VARIANT m_variant;
    // What VT_BYREF | VT_VARIANT points to: a VT_I4 holding the bytes.
    VARIANT m_referencedVariant;
    // What every other by-reference type points to; as wide as the widest
    // plain value (VT_R8, VT_CY, VT_I8...).
    std::uint64_t m_referencedValue = 0;
};
