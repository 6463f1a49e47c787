#include "gamelink/GameState.h"

#include "core/KitException.h"
#include "core/StringTable.h"

namespace {
std::string TableText(unsigned id) {
    const char* text = LoadString(id);
    return text != nullptr ? text : "";
}
} // namespace

std::string ComposeTitle(const std::string& caption, bool hasSubject, bool paused,
                         const std::function<std::string()>& querySubjectName) {
    try {
        const std::string subject = hasSubject ? querySubjectName() : TableText(IDS_NO_SUBJECT);
        std::string title = caption + " - " + subject;
        if (paused) {
            title += TableText(IDS_PAUSED);
        }
        return title;
    } catch (const CKitException&) {
        return {};
    }
}
