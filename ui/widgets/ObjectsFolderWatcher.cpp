#include "ui/widgets/ObjectsFolderWatcher.h"

#include <chrono>

CObjectsFolderWatcher::CObjectsFolderWatcher(CAgentCatalogue& catalogue, QObject* parent)
    : QObject(parent), m_catalogue(catalogue) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CObjectsFolderWatcher::OnTimer);
}

void CObjectsFolderWatcher::Watch(const std::string& directory) {
    Stop();
    m_live = std::make_unique<CLiveFolder>(directory);
    m_live->NoteStartupScan(m_catalogue);
    m_watch = std::make_unique<CDirectoryWatch>(directory);
    if (m_watch->Fd() < 0) {
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_watch->Fd(), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &CObjectsFolderWatcher::OnEvents);
}

void CObjectsFolderWatcher::Stop() {
    m_timer.stop();
    m_notifier.reset();
    m_watch.reset();
    m_live.reset();
}

void CObjectsFolderWatcher::NoteShown(const std::string& path) {
    if (m_live) {
        m_live->NoteShown(path);
    }
}

void CObjectsFolderWatcher::OnEvents() {
    const DirectoryChanges changes = m_watch->Drain();
    if (changes.Any()) {
        m_live->NoteChange(std::chrono::steady_clock::now(), changes);
        Schedule();
    }
}

void CObjectsFolderWatcher::Schedule() {
    if (const auto wait = m_live->TimeToReload(std::chrono::steady_clock::now())) {
        m_timer.start(*wait);
    }
}

void CObjectsFolderWatcher::OnTimer() {
    const auto now = std::chrono::steady_clock::now();
    if (m_reloading) {
        return;
    }
    const auto wait = m_live->TimeToReload(now);
    if (!wait) {
        return;
    }
    if (wait->count() > 0) {
        m_timer.start(*wait);
        return;
    }
    m_reloading = true;
    const CLiveFolder::ReloadPlan plan = m_live->PlanReload(m_catalogue);
    CLiveFolder::ReloadResult result;
    if (!plan.Empty()) {
        emit AboutToReload();
        result = m_live->Reload(m_catalogue, plan, now, std::chrono::system_clock::now());
        emit Reloaded();
    }
    for (const auto& failure : result.failures) {
        // The window may have gone while an earlier message was shown.
        if (!m_live) {
            break;
        }
        ReportError(failure);
    }
    m_reloading = false;
    if (m_live) {
        Schedule();
    }
}
