#include "sim/mirewalk-sim-win/NotificationValue.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// Types without a value.
constexpr VARTYPE kValueless[] = {VT_EMPTY, VT_NULL};
// Types whose value is at most eight bytes of plain data.
constexpr VARTYPE kPlainValues[] = {VT_I2,    VT_I4,   VT_R4,  VT_R8,  VT_CY,  VT_DATE,
                                    VT_ERROR, VT_BOOL, VT_I1,  VT_UI1, VT_UI2, VT_UI4,
                                    VT_I8,    VT_UI8,  VT_INT, VT_UINT};

bool Contains(const auto& types, VARTYPE type) {
    return std::find(std::begin(types), std::end(types), type) != std::end(types);
}

} // namespace

bool CNotificationValue::CanCarry(VARTYPE type) {
    if ((type & VT_BYREF) == 0) {
        return Contains(kValueless, type) || Contains(kPlainValues, type);
    }
    const VARTYPE referenced = type & ~VT_BYREF;
    return referenced == VT_VARIANT || Contains(kPlainValues, referenced);
}

CNotificationValue::CNotificationValue(VARTYPE type, const NotificationBytes& bytes) {
    VariantInit(&m_variant);
    VariantInit(&m_referencedVariant);
    V_VT(&m_variant) = type;
    if (type == (VT_BYREF | VT_VARIANT)) {
        V_VT(&m_referencedVariant) = VT_I4;
        std::memcpy(&V_I4(&m_referencedVariant), bytes.data(), bytes.size());
        V_VARIANTREF(&m_variant) = &m_referencedVariant;
    } else if ((type & VT_BYREF) != 0) {
        std::memcpy(&m_referencedValue, bytes.data(), bytes.size());
        V_BYREF(&m_variant) = &m_referencedValue;
    } else {
        // The value field is a union; clear all of it, then fill its first bytes.
        V_UI8(&m_variant) = 0;
        std::memcpy(&V_UI8(&m_variant), bytes.data(), bytes.size());
    }
}

CNotificationValue::~CNotificationValue() {
    // The callee may have stored something else into a by-reference variant.
    VariantClear(&m_referencedVariant);
}
