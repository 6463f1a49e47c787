#include "tests/support/Caught.h"

#include "app/KitException.h"

std::string CaughtMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (CKitException e) {
        return e.m_message;
    }
    return "(nothing thrown)";
}
