#include "framework/widgets/BaseSheet.h"

#include "core/GameConfig.h"
#include "core/KitException.h"
#include "core/MessageBox.h"
#include "core/StringTable.h"
#include "framework/AboutText.h"
#include "framework/Tiling.h"
#include "framework/widgets/BasePage.h"
#include "framework/widgets/DialogBuilder.h"
#include "platform/FileNameCase.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include <clocale>
#include <filesystem>
#include <system_error>

namespace {
constexpr const char* kWallpaperFile = "wallpaper.bmp";
// The strip along the bottom edge that holds the sheet's own controls.
constexpr int kControlRowHeight = 32;
// Space between the tabs and the client area's edges.
constexpr int kTabMargin = 7;
// The sheet's font, the dialog font of its pages.
constexpr int kSheetFontPoints = 8;
// A title with the system menu, a minimise button and Close; no maximise button.
constexpr Qt::WindowFlags kSheetWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

QString TableText(unsigned id) {
    return QString::fromUtf8(LoadStringOrEmpty(id));
}

QRect ToQRect(const SheetRect& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Colours are 0x00BBGGRR, red in the lowest byte.
std::uint32_t ButtonFaceColour() {
    const QColor face = QApplication::palette().color(QPalette::Button);
    return static_cast<std::uint32_t>(face.red()) | static_cast<std::uint32_t>(face.green()) << 8 |
           static_cast<std::uint32_t>(face.blue()) << 16;
}
} // namespace

CBaseSheet::CBaseSheet(const char* caption, QWidget* parent, const char* appletName,
                       const char* version)
    : QWidget(parent, kSheetWindowFlags), m_appletName(appletName), m_version(version),
      m_caption(caption) {
    BuildWindow();
}

CBaseSheet::~CBaseSheet() = default;

void CBaseSheet::BuildWindow() {
    setFont(DialogFont(kSheetFontPoints));
    setWindowTitle(QString::fromStdString(m_caption));
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->setSizeConstraint(QLayout::SetFixedSize);
    m_client = new QWidget(this);
    m_layout->addWidget(m_client);
    m_tabs = new QTabWidget(m_client);
    m_tabs->move(kTabMargin, kTabMargin);
    // One row of tabs that scrolls when they do not fit.
    m_tabs->setUsesScrollButtons(true);
    connect(m_tabs, &QTabWidget::currentChanged, this, &CBaseSheet::OnPageChanged);
}

bool CBaseSheet::Create() {
    m_windowExists = true;
    if (OnCreate() != 0) {
        m_windowExists = false;
        return false;
    }
    OnInitDialog();
    return true;
}

bool CBaseSheet::WindowExists() const {
    return m_windowExists;
}

std::string CBaseSheet::GetGameDirectory(int index) {
    return ::GetGameDirectory(index);
}

bool CBaseSheet::ChangeToGameDirectory() {
    try {
        const std::string directory = GetGameDirectory(kMainDirectory);
        std::error_code error;
        std::filesystem::current_path(directory, error);
        if (error) {
            ThrowStringId(IDS_ERROR_CHANGING_DIRECTORY, directory.c_str());
        }
        return true;
    } catch (const CKitException& e) {
        ReportError(e);
        return false;
    }
}

bool CBaseSheet::AppletMenusAllowed() {
    try {
        CRegistryKey gameKey;
        gameKey.OpenKey(RegistryRoot::CurrentUser, kGameKeyPath);
        std::string value;
        return !gameKey.ReadString("NoAppletMenus", value);
    } catch (const CKitException&) {
        return true;
    }
}

void CBaseSheet::SavePlacement() {
    if (!m_windowExists || isMinimized()) {
        return;
    }
    try {
        const QPoint location = pos();
        m_userKey.WritePoint("Location", location.x(), location.y());
        m_userKey.WriteDword("On Top", m_onTop ? 1 : 0);
        m_userKey.WriteDword("Page", static_cast<std::uint32_t>(GetActiveIndex()));
    } catch (const CKitException& e) {
        ReportError(e);
    }
}

void CBaseSheet::RestorePlacement() {
    std::int32_t x = 0;
    std::int32_t y = 0;
    m_userKey.ReadPoint("Location", x, y);
    std::uint32_t onTop = 0;
    if (m_userKey.ReadDword("On Top", onTop)) {
        m_onTop = onTop != 0;
    }
    setWindowFlag(Qt::WindowStaysOnTopHint, m_onTop);
    // The platform window must exist for its frame to count in the size. It is
    // made at the saved place: some window managers (XWayland's in Weston, for
    // one) take a window's place from its creation and ignore later moves.
    move(x, y);
    winId();
    const QSize size = frameGeometry().size();
    SheetRect rect{x, y, x + size.width() - 1, y + size.height() - 1};
    if (const QScreen* display = screen()) {
        const QRect work = display->availableGeometry();
        ClampToWorkArea(rect, {work.left(), work.top(), work.left() + work.width(),
                               work.top() + work.height()});
    }
    m_onTopButton->setChecked(m_onTop);
    move(rect.left, rect.top);
    show();
}

void CBaseSheet::SetKeepOnTop(bool onTop) {
    m_onTop = onTop;
    m_onTopButton->setChecked(onTop);
    const QPoint location = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    move(location);
    show();
    m_ownedWindows.FollowKeepOnTop();
}

void CBaseSheet::OnHide() {
    showMinimized();
}

void CBaseSheet::AddPage(CBasePage* page) {
    m_tabs->addTab(page, page->Caption());
    if (m_windowExists) {
        FitToPages();
    }
    PutControlsLastInTabOrder();
}

int CBaseSheet::GetPageCount() const {
    return m_tabs->count();
}

CBasePage* CBaseSheet::GetPage(int index) const {
    return dynamic_cast<CBasePage*>(m_tabs->widget(index));
}

int CBaseSheet::GetActiveIndex() const {
    return m_tabs->currentIndex();
}

void CBaseSheet::SetActivePage(int index) {
    m_tabs->setCurrentIndex(index);
}

void CBaseSheet::SetTabImage(int index, const QIcon& image) {
    m_tabs->setTabIcon(index, image);
}

void CBaseSheet::SetMenuBar(QMenuBar* bar) {
    m_menuBar = bar;
    m_layout->setMenuBar(bar);
    connect(bar, &QMenuBar::triggered, this,
            [this](QAction* action) { OnCommand(action->data().toUInt()); });
}

QMenuBar* CBaseSheet::MenuBar() const {
    return m_menuBar;
}

void CBaseSheet::OnCommand(unsigned id) {
    switch (id) {
    case kCloseCommand:
        OnCloseButton();
        break;
    case kHideCommand:
        OnHide();
        break;
    case kKeepOnTopCommand:
        OnKeepOnTopButton();
        break;
    case kAboutCommand:
        OnAbout();
        break;
    }
}

int CBaseSheet::OnCreate() {
    try {
        const std::string keyPath = AppletKeyPath(m_appletName, m_version);
        m_userKey.CreateKey(RegistryRoot::CurrentUser, keyPath.c_str());
        m_machineKey.CreateKey(RegistryRoot::LocalMachine, keyPath.c_str());
        if (!ChangeToGameDirectory()) {
            return -1;
        }
        const std::string wallpaper =
            PathIgnoringCase(GetGameDirectory(kAppletDataDirectory), kWallpaperFile);
        m_wallpaper.LoadFromFile(wallpaper.c_str());
        m_wallpaper.Tint(0, 0, m_wallpaper.Width(), m_wallpaper.Height(), ButtonFaceColour());
        return 0;
    } catch (const CKitException& e) {
        ReportError(e);
        return -1;
    }
}

bool CBaseSheet::OnInitDialog() {
    FitToPages();
    ActivatePage(GetActiveIndex());
    // Dates follow the user's locale; only the time category changes.
    std::setlocale(LC_TIME, "");
    m_controlRowHeight = kControlRowHeight;
    FitToPages();
    CreateControls();
    QMetaObject::invokeMethod(
        this, [this] { OnWindowCreated(); }, Qt::QueuedConnection);
    return true;
}

void CBaseSheet::OnClose() {
    SavePlacement();
    OnClosing();
    if (m_windowExists) {
        OnDestroy();
        m_windowExists = false;
        m_ownedWindows.CloseAll();
        hide();
        emit WindowDestroyed();
    }
}

void CBaseSheet::OnDestroy() {
    SavePlacement();
}

void CBaseSheet::OnSize() {
    const auto notRestored = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    if (isVisible() && (windowState() & notRestored) == 0 && m_closeButton != nullptr &&
        m_hideButton != nullptr) {
        PlaceControls();
    }
}

void CBaseSheet::OnKeepOnTopButton() {
    SetKeepOnTop(m_onTopButton->isChecked());
}

void CBaseSheet::OnCloseButton() {
    QMetaObject::invokeMethod(
        this, [this] { close(); }, Qt::QueuedConnection);
}

void CBaseSheet::OnAbout() {
    const std::string text = FormatAboutText(m_caption, m_version);
    ShowMessage(text.c_str(), MessageKind::Information);
}

void CBaseSheet::closeEvent(QCloseEvent* event) {
    OnClose();
    event->accept();
}

void CBaseSheet::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        OnSize();
        m_ownedWindows.FollowMinimised();
    }
}

void CBaseSheet::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    OnSize();
}

void CBaseSheet::paintEvent(QPaintEvent*) {
    if (!m_wallpaper.IsValid()) {
        return;
    }
    QPainter painter(this);
    const int tileWidth = m_wallpaper.Width();
    const int tileHeight = m_wallpaper.Height();
    for (const TileOrigin& tile : TileOrigins(tileWidth, tileHeight, width(), height())) {
        m_wallpaper.Draw(painter, tile.x, tile.y, 0, 0, tileWidth, tileHeight);
    }
}

void CBaseSheet::CreateControls() {
    m_closeButton = new QPushButton(TableText(IDS_CLOSE), m_client);
    m_hideButton = new QPushButton(TableText(IDS_HIDE), m_client);
    m_onTopButton = new QCheckBox(TableText(IDS_KEEP_ON_TOP), m_client);
    connect(m_closeButton, &QPushButton::clicked, this, [this] { OnCommand(kCloseCommand); });
    connect(m_hideButton, &QPushButton::clicked, this, [this] { OnCommand(kHideCommand); });
    connect(m_onTopButton, &QCheckBox::clicked, this, [this] { OnCommand(kKeepOnTopCommand); });
    PlaceControls();
    m_closeButton->show();
    m_hideButton->show();
    m_onTopButton->show();
    PutControlsLastInTabOrder();
}

// Tab goes through the page's controls, then Keep on top, Hide and Close. A
// page's controls join the focus chain at its end when the page is added, so
// the three are moved behind them again each time; only a widget
// that Tab can reach can be put before them.
void CBaseSheet::PutControlsLastInTabOrder() {
    if (m_closeButton == nullptr) {
        return;
    }
    QWidget* last = this;
    for (QWidget* widget = nextInFocusChain(); widget != this;
         widget = widget->nextInFocusChain()) {
        if (widget->window() == this && (widget->focusPolicy() & Qt::TabFocus) != 0 &&
            widget != m_onTopButton && widget != m_hideButton && widget != m_closeButton) {
            last = widget;
        }
    }
    setTabOrder(last, m_onTopButton);
    setTabOrder(m_onTopButton, m_hideButton);
    setTabOrder(m_hideButton, m_closeButton);
}

void CBaseSheet::PlaceControls() {
    const SheetButtonRects rects = LayoutButtons(m_client->width(), m_client->height());
    m_closeButton->setGeometry(ToQRect(rects.close));
    m_hideButton->setGeometry(ToQRect(rects.hide));
    m_onTopButton->setGeometry(ToQRect(rects.keepOnTop));
}

void CBaseSheet::FitToPages() {
    const QSize pages = m_tabs->sizeHint().expandedTo(m_tabs->size());
    m_tabs->resize(pages);
    m_client->setFixedSize(pages.width() + 2 * kTabMargin,
                           pages.height() + 2 * kTabMargin + m_controlRowHeight);
    m_layout->activate();
    if (m_closeButton != nullptr) {
        PlaceControls();
    }
}

void CBaseSheet::OnPageChanged(int index) {
    if (!m_windowExists) {
        return;
    }
    if (CBasePage* previous = GetPage(m_activePage)) {
        previous->OnKillActive();
    }
    ActivatePage(index);
}

void CBaseSheet::ActivatePage(int index) {
    m_activePage = index;
    if (CBasePage* page = GetPage(index)) {
        page->Activate();
    }
}
