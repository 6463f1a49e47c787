// Feeds any text to the dialog and menu template parsers: each either returns
// a template within its limits or raises its message.
#include "core/KitException.h"
#include "framework/DialogTemplate.h"
#include "framework/MenuTemplate.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const CDialogTemplate dialog = ParseDialogTemplate(text, "fuzz");
        for (const DialogControl& control : dialog.controls) {
            if (control.rect.x < 0 || control.rect.width < 0 || control.id < kNoControlId) {
                std::abort();
            }
        }
    } catch (const CKitException&) {
    }
    try {
        const CMenuTemplate menu = ParseMenuTemplate(text, "fuzz");
        for (const MenuPopup& popup : menu.popups) {
            for (const MenuItem& item : popup.items) {
                if (!item.separator && item.commandId <= 0) {
                    std::abort();
                }
            }
        }
    } catch (const CKitException&) {
    }
    return 0;
}
