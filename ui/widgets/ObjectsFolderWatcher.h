#pragma once

#include "ui/LiveFolder.h"

#include "platform/DirectoryWatch.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <memory>
#include <string>

class CAgentCatalogue;

// Follows the Objects directory while the applet runs and, once the folder has
// been quiet, reads again the agent files that changed (CLiveFolder decides
// when and which), then shows the message of each file newly found damaged.
// One watch of the folder sees files that appear, vanish or are renamed, and
// writes into them.
class CObjectsFolderWatcher : public QObject {
    Q_OBJECT

public:
    explicit CObjectsFolderWatcher(CAgentCatalogue& catalogue, QObject* parent = nullptr);

    // Starts following `directory`, whose agent files the catalogue has just
    // loaded by the start-up scan.
    void Watch(const std::string& directory);
    // Stops following it: no reload and no message from here on.
    void Stop();
    // The message of the agent file at `path` has been shown already.
    void NoteShown(const std::string& path);

signals:
    // The catalogue's files are about to change: positions into it end here.
    void AboutToReload();
    // The catalogue holds the folder's agent files again.
    void Reloaded();

private:
    void OnEvents();
    void OnTimer();
    void Schedule();

    CAgentCatalogue& m_catalogue;
    std::unique_ptr<CLiveFolder> m_live;
    std::unique_ptr<CDirectoryWatch> m_watch;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_timer;
    // A message box shown after a reload runs events of its own; a change seen
    // meanwhile waits for it.
    bool m_reloading = false;
};
