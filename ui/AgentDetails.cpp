#include "ui/AgentDetails.h"

#include "agents/AgentFile.h"
#include "agents/Availability.h"
#include "framework/DibBitmap.h"
#include "ui/AgentPictureDrawing.h"
#include "ui/Centring.h"
#include "ui/DetailsText.h"

namespace {

constexpr std::uint32_t kBlack = 0x000000;

} // namespace

DetailsControls DescribeControls(const CAgent* agent) {
    if (agent == nullptr) {
        return {};
    }
    return {FormatQuantityText(agent->Usage().quantity), IsAvailable(*agent),
            !agent->RemoveScript().empty()};
}

DetailsPicture DescribePicture(const CAgent& agent, int canvasWidth, int canvasHeight) {
    const std::int32_t timeLeft = TimeUntilAvailable(agent);
    DetailsPicture picture;
    picture.x = CentredOffset(canvasWidth, agent.ListedPicture().Width());
    picture.y = CentredOffset(canvasHeight, agent.ListedPicture().Height());
    picture.full = IsAvailable(agent);
    if (!(picture.full && timeLeft == 0)) {
        picture.waitText = FormatWaitText(timeLeft);
    }
    return picture;
}

void PaintAgentPicture(CDibBitmap& canvas, const CAgent& agent, const DetailsPicture& picture) {
    PaintBlack(canvas);
    const CAgentPicture& shown = agent.Picture();
    if (!shown.HasPicture()) {
        return;
    }
    if (picture.full) {
        CopyAgentPicture(shown, canvas, picture.x, picture.y);
    } else {
        BlendAgentPicture(shown, canvas, picture.x, picture.y, kDimmedOpacity);
    }
}

void PaintBlack(CDibBitmap& canvas) {
    canvas.FillRect(0, 0, canvas.Width(), canvas.Height(), kBlack);
}
