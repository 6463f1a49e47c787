#pragma once

#include <QObject>

#include <memory>

class CAutomationService;
class CHelpWindow;
class CInjectorSheet;
class CTerminationSignals;

// The application as the game runs it: it serves the automation object on the
// session bus, creates the main sheet when the game first asks for the object,
// and ends once the sheet's window is gone and the game holds no object.
class CSpliceboxApp : public QObject {
    Q_OBJECT
public:
    CSpliceboxApp();
    ~CSpliceboxApp() override;

    // Watches the termination signals and serves the automation object; false,
    // with a message shown, when the signals cannot be watched, the bus or its
    // name cannot be had, or there is no display for the window.
    bool InitInstance();
    // Deletes the sheet; returns the exit code it is given.
    int ExitInstance(int exitCode);
    // Shows the help page of the user's help file; does nothing without one.
    void WinHelp();

    // The main sheet, owned; null until the game first asks for the object.
    std::unique_ptr<CInjectorSheet> m_sheet;

private:
    void OnObjectRequested(const QString& creator);
    void OnObjectReleased();
    bool CreateMainSheet();
    bool MainWindowExists() const;
    void EndWhenIdle();
    void OnTerminationSignal();

    std::unique_ptr<CTerminationSignals> m_terminationSignals;
    std::unique_ptr<CAutomationService> m_service;
    std::unique_ptr<CHelpWindow> m_helpWindow;
    bool m_sheetTried = false;
    bool m_terminating = false;
};

// The automated start: runs the application until it ends; the exit code.
int RunAutomatedStart();
