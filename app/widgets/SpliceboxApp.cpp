#include "app/widgets/SpliceboxApp.h"

#include "app/HelpFile.h"
#include "app/widgets/Display.h"
#include "app/widgets/HelpWindow.h"
#include "app/widgets/MessageBoxSink.h"
#include "core/MessageBox.h"
#include "core/StringTable.h"
#include "gamelink/GameContract.h"
#include "platform/ActiveGameHost.h"
#include "platform/AutomationService.h"
#include "platform/TerminationSignals.h"
#include "platform/WineGameHost.h"
#include "ui/widgets/InjectorSheet.h"

#include <QApplication>
#include <QDBusConnection>
#include <QShortcut>

#include <system_error>

namespace {
constexpr int kExitFailure = 1;
// Started by the bus without a display (one whose environment lacks DISPLAY
// and WAYLAND_DISPLAY), the applet cannot show its window.
constexpr const char* kNoDisplayMessage = "Cannot open a display for the window";

QString Caption() {
    return QString::fromUtf8(LoadStringOrEmpty(IDS_APPLET_TITLE));
}

// A game under Wine asks for the object through its bridge, which tells its
// prefix: the game's settings are then in Wine's registry. Any other creator
// (a game of this machine) answers with an error, and the file store stays.
void UseWineOfBridge(const QString& creator) {
    if (auto host = CWineGameHost::OfCreator(QDBusConnection::sessionBus(), creator)) {
        InstallGameHost(std::move(host));
    }
}
} // namespace

CSpliceboxApp::CSpliceboxApp() = default;

CSpliceboxApp::~CSpliceboxApp() = default;

bool CSpliceboxApp::InitInstance() {
    // First, so that a signal before the window exists ends the process as
    // soon as the event loop runs.
    try {
        m_terminationSignals = std::make_unique<CTerminationSignals>();
    } catch (const std::system_error& e) {
        ShowMessage(e.what(), MessageKind::Warning);
        return false;
    }
    connect(m_terminationSignals.get(), &CTerminationSignals::Received, this,
            &CSpliceboxApp::OnTerminationSignal);
    m_service = std::make_unique<CAutomationService>(QDBusConnection::sessionBus(),
                                                     GameContract::kAppletServiceName);
    connect(m_service.get(), &CAutomationService::ObjectRequested, this,
            &CSpliceboxApp::OnObjectRequested);
    connect(m_service.get(), &CAutomationService::ObjectReleased, this,
            &CSpliceboxApp::OnObjectReleased);
    if (!m_service->Start()) {
        ShowMessage(LoadString(IDS_OLE_INIT_FAILED), MessageKind::Warning);
        return false;
    }
    if (!HasDisplay()) {
        ShowMessage(kNoDisplayMessage, MessageKind::Warning);
        return false;
    }
    connect(m_service.get(), &CAutomationService::BusLost, this, &CSpliceboxApp::EndWhenIdle);
    return true;
}

int CSpliceboxApp::ExitInstance(int exitCode) {
    m_helpWindow.reset();
    m_sheet.reset();
    return exitCode;
}

void CSpliceboxApp::WinHelp() {
    // Help that cannot be shown shows nothing, whatever the reason.
    try {
        std::unique_ptr<CChmFile> file = OpenHelpFile();
        if (!file) {
            return;
        }
        QWidget* owner = MainWindowExists() ? m_sheet.get() : nullptr;
        m_helpWindow = std::make_unique<CHelpWindow>(std::move(file), kHelpPage, Caption(), owner);
        m_helpWindow->show();
        m_helpWindow->raise();
    } catch (...) {
    }
}

// The game's first request creates the window; later ones share it. Without
// a window the applet has nothing to serve and ends.
void CSpliceboxApp::OnObjectRequested(const QString& creator) {
    if (m_sheetTried) {
        return;
    }
    m_sheetTried = true;
    UseWineOfBridge(creator);
    if (!CreateMainSheet()) {
        m_service->RefuseNewObjects();
        QCoreApplication::exit(kExitFailure);
    }
}

// The game let go of the applet: close it as the user would.
void CSpliceboxApp::OnObjectReleased() {
    if (MainWindowExists()) {
        QMetaObject::invokeMethod(m_sheet.get(), &QWidget::close, Qt::QueuedConnection);
    }
    EndWhenIdle();
}

bool CSpliceboxApp::CreateMainSheet() {
    const QByteArray caption = Caption().toUtf8();
    m_sheet = std::make_unique<CInjectorSheet>(caption.constData(), nullptr);
    SetMessageBoxOwner(m_sheet.get());
    connect(m_sheet.get(), &CBaseSheet::WindowDestroyed, this, &CSpliceboxApp::EndWhenIdle);
    connect(m_sheet.get(), &CInjectorSheet::HelpRequested, this, &CSpliceboxApp::WinHelp);
    connect(m_service.get(), &CAutomationService::Notification, m_sheet.get(),
            &CInjectorSheet::DispatchNotification);
    // F1 asks for help anywhere in the window, as the Help menu item does.
    const auto* help = new QShortcut(QKeySequence::HelpContents, m_sheet.get());
    connect(help, &QShortcut::activated, this, &CSpliceboxApp::WinHelp);
    return m_sheet->Create();
}

bool CSpliceboxApp::MainWindowExists() const {
    return m_sheet && m_sheet->WindowExists();
}

void CSpliceboxApp::EndWhenIdle() {
    if (m_service->ObjectCount() == 0 && !MainWindowExists()) {
        QCoreApplication::quit();
    }
}

// Logout, kill or Ctrl-C: the sheet closes as its Close button closes it, and
// the process ends even while the game still holds the object. Only the first
// signal counts; the close it starts may itself wait for the game.
void CSpliceboxApp::OnTerminationSignal() {
    if (m_terminating) {
        return;
    }
    m_terminating = true;
    if (MainWindowExists()) {
        m_sheet->close();
    }
    QCoreApplication::exit(0);
}

int RunAutomatedStart() {
    // The window may close while the game still holds the object; the objects
    // held, not the last window, decide when the applet ends.
    QApplication::setQuitOnLastWindowClosed(false);
    CSpliceboxApp app;
    if (!app.InitInstance()) {
        return app.ExitInstance(kExitFailure);
    }
    return app.ExitInstance(QApplication::exec());
}
