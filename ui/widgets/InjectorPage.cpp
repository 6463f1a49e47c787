#include "ui/widgets/InjectorPage.h"

#include "agents/AgentCatalogue.h"
#include "agents/Injection.h"
#include "core/GameConfig.h"
#include "core/KitException.h"
#include "framework/widgets/BaseSheet.h"
#include "framework/widgets/HScrollListBox.h"
#include "framework/widgets/TransparentStatic.h"
#include "platform/Windows1252.h"
#include "ui/AgentDetails.h"
#include "ui/widgets/CanvasText.h"
#include "ui/widgets/PictureControl.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimerEvent>

namespace {

constexpr int kAgentsTemplate = 130;
constexpr int kAgentListId = 1000;
constexpr int kDescriptionId = 1001;
constexpr int kInjectId = 1003;
constexpr int kRemoveId = 1004;
constexpr int kQuantityTextId = 1006;
constexpr int kPicturePlaceholderId = 1008;
constexpr int kQuantityLabelId = 1015;

QString FromAgentText(const std::string& text) {
    return QString::fromStdString(Windows1252ToUtf8(text));
}

// The template sizes the label for the face it was designed with; a wider face
// would cut its end. It grows to the left, where the row has room, so it still
// ends beside the number it names.
void FitLabelLeftwards(QLabel& label) {
    const int needed = label.fontMetrics().horizontalAdvance(label.text());
    if (needed > label.width()) {
        const QRect place = label.geometry();
        label.setGeometry(place.right() + 1 - needed, place.y(), needed, place.height());
    }
}

} // namespace

CInjectorPage::CInjectorPage(const CDibBitmap& wallpaper, CAgentCatalogue& catalogue,
                             CGameLink& game)
    : CBasePage(kAgentsTemplate, 0), m_wallpaper(wallpaper), m_catalogue(catalogue), m_game(game) {}

void CInjectorPage::DoDataExchange() {
    m_quantityLabel = SubclassControl<CTransparentStatic>(kQuantityLabelId);
    FitLabelLeftwards(*m_quantityLabel);
    m_removeButton = ControlAs<QPushButton>(kRemoveId);
    m_injectButton = ControlAs<QPushButton>(kInjectId);
    m_quantityText = ControlAs<QLabel>(kQuantityTextId);
    m_descriptionEdit = ControlAs<QPlainTextEdit>(kDescriptionId);
    m_agentList = ControlAs<CHScrollListBox>(kAgentListId);
    connect(m_agentList, &CHScrollListBox::itemSelectionChanged, this,
            &CInjectorPage::OnSelchangeAgentList);
    connect(m_injectButton, &QPushButton::clicked, this, &CInjectorPage::OnInject);
    connect(m_removeButton, &QPushButton::clicked, this, &CInjectorPage::OnRemove);
}

bool CInjectorPage::OnInitDialog() {
    DoDataExchange();
    try {
        SetWallpaper(&m_wallpaper);
        CreatePictureControl();
        m_canvas.Create(m_pictureCtrl->contentsRect().width(),
                        m_pictureCtrl->contentsRect().height(), kDib24);
        m_pictureCtrl->SetCanvas(&m_canvas);
        RefreshList();
        EnableRefreshTimer(true);
    } catch (const CKitException& e) {
        ReportError(e);
    }
    return true;
}

void CInjectorPage::CreatePictureControl() {
    m_pictureCtrl = new CPictureControl(this);
    m_pictureCtrl->setGeometry(Control(kPicturePlaceholderId)->geometry());
    m_pictureCtrl->show();
}

bool CInjectorPage::OnSetActive() {
    EnableRefreshTimer(true);
    return CBasePage::OnSetActive();
}

bool CInjectorPage::OnKillActive() {
    EnableRefreshTimer(false);
    return CBasePage::OnKillActive();
}

void CInjectorPage::EnableRefreshTimer(bool on) {
    if (on) {
        if (m_timerId == 0) {
            m_timerId = startTimer(kTimerInterval);
        }
        return;
    }
    if (m_timerId != 0) {
        killTimer(m_timerId);
    }
    m_timerId = 0;
}

void CInjectorPage::timerEvent(QTimerEvent*) {
    OnTimer();
}

void CInjectorPage::OnTimer() {
    if (++m_tickCount == kTicksPerRefresh) {
        m_tickCount = 0;
        RefreshDetails();
    }
}

void CInjectorPage::RefreshList() {
    ShowListWith(-1);
}

void CInjectorPage::ShowListWith(int position) {
    if (!HasWindow()) {
        return;
    }
    // Choosing the entry here is the page's doing, not the user's.
    const QSignalBlocker quiet(m_agentList);
    FillAgentList();
    int entry = position == -1 ? CHScrollListBox::kError : m_agentList->FindItemData(position);
    if (entry == CHScrollListBox::kError && m_agentList->GetCount() > 0) {
        entry = 0;
    }
    if (entry != CHScrollListBox::kError) {
        m_agentList->SetCurSel(entry);
        SelectAgent(m_agentList->GetItemData(entry));
    } else {
        SelectAgent(-1);
    }
}

void CInjectorPage::FillAgentList() {
    const auto& agents = m_catalogue.Agents();
    std::vector<CHScrollListBox::Entry> entries;
    entries.reserve(agents.size());
    for (std::size_t i = 0; i < agents.size(); ++i) {
        entries.push_back({FromAgentText(agents[i]->Name()), static_cast<int>(i)});
    }
    m_agentList->SetContent(std::move(entries));
}

void CInjectorPage::OnSelchangeAgentList() {
    const int selection = m_agentList->GetCurSel();
    SelectAgent(selection == CHScrollListBox::kError ? -1 : m_agentList->GetItemData(selection));
}

void CInjectorPage::SelectAgent(int position) {
    m_selected = position;
    const CAgent* agent = SelectedAgent();
    const QString description = agent != nullptr ? FromAgentText(agent->Description()) : QString();
    // Set again, the same text would scroll back to the top.
    if (m_descriptionEdit->toPlainText() != description) {
        m_descriptionEdit->setPlainText(description);
    }
    if (agent != nullptr) {
        RefreshDetails();
    }
    UpdateControls();
}

CAgent* CInjectorPage::SelectedAgent() const {
    if (m_selected == -1) {
        return nullptr;
    }
    return m_catalogue.Agents().at(static_cast<std::size_t>(m_selected));
}

void CInjectorPage::OnInject() {
    CAgent* agent = SelectedAgent();
    if (agent == nullptr) {
        return;
    }
    try {
        const std::string sounds = CBaseSheet::GetGameDirectory(kSoundsDirectory);
        const std::string images = CBaseSheet::GetGameDirectory(kImagesDirectory);
        CarryOut(*agent, PlanInjection(*agent, images, sounds), m_game, m_catalogue.UsageMemory());
    } catch (const CKitException& e) {
        ReportError(e);
    }
    RefreshDetails();
}

void CInjectorPage::OnRemove() {
    CAgent* agent = SelectedAgent();
    if (agent == nullptr) {
        return;
    }
    try {
        CarryOut(*agent, PlanRemoval(*agent), m_game, m_catalogue.UsageMemory());
    } catch (const CKitException& e) {
        ReportError(e);
    }
    RefreshDetails();
}

void CInjectorPage::RefreshDetails() {
    const CAgent* agent = SelectedAgent();
    if (m_canvas.IsValid()) {
        DrawCanvas(agent);
        m_pictureCtrl->RedrawNow();
    }
    if (agent != nullptr) {
        UpdateControls();
    }
}

void CInjectorPage::DrawCanvas(const CAgent* agent) {
    if (agent == nullptr) {
        PaintBlack(m_canvas);
        return;
    }
    const DetailsPicture picture = DescribePicture(*agent, m_canvas.Width(), m_canvas.Height());
    m_pictureX = picture.x;
    m_pictureY = picture.y;
    PaintAgentPicture(m_canvas, *agent, picture);
    if (picture.waitText) {
        DrawTopCentredText(m_canvas, QString::fromStdString(*picture.waitText), font());
    }
}

void CInjectorPage::UpdateControls() {
    const DetailsControls controls = DescribeControls(SelectedAgent());
    m_quantityText->setText(QString::fromStdString(controls.quantityText));
    m_injectButton->setEnabled(controls.injectEnabled);
    m_removeButton->setEnabled(controls.removeEnabled);
}
