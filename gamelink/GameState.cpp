#include "gamelink/GameState.h"

#include "core/KitException.h"
#include "core/StringTable.h"

namespace {} // namespace

std::string ComposeTitle(const std::string& caption, bool hasSubject, bool paused,
                         const std::function<std::string()>& querySubjectName) {
    try {
        const std::string subject =
            hasSubject ? querySubjectName() : LoadStringOrEmpty(IDS_NO_SUBJECT);
        std::string title = caption + " - " + subject;
        if (paused) {
            title += LoadStringOrEmpty(IDS_PAUSED);
        }
        return title;
    } catch (const CKitException&) {
        return {};
    }
}
