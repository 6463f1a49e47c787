#include "ui/widgets/ObjectsFolderWatcher.h"

#include <chrono>

CObjectsFolderWatcher::CObjectsFolderWatcher(CAgentCatalogue& catalogue, QObject* parent)
    : QObject(parent), m_catalogue(catalogue) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CObjectsFolderWatcher::OnTimer);
}

void CObjectsFolderWatcher::Watch(const std::string& directory) {
    m_directory = directory;
    m_live.NoteStartupScan(m_catalogue, directory);
    m_notifier.reset();
    m_watch = std::make_unique<CDirectoryWatch>(directory);
    if (m_watch->Fd() < 0) {
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_watch->Fd(), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &CObjectsFolderWatcher::OnEvents);
}

void CObjectsFolderWatcher::OnEvents() {
    if (m_watch->Drain()) {
        OnChange();
    }
}

void CObjectsFolderWatcher::NoteShown(const std::string& path) {
    m_live.NoteShown(path);
}

void CObjectsFolderWatcher::OnChange() {
    m_live.NoteChange(std::chrono::steady_clock::now());
    Schedule();
}

void CObjectsFolderWatcher::Schedule() {
    if (const auto wait = m_live.TimeToReload(std::chrono::steady_clock::now())) {
        m_timer.start(*wait);
    }
}

void CObjectsFolderWatcher::OnTimer() {
    const auto now = std::chrono::steady_clock::now();
    const auto wait = m_live.TimeToReload(now);
    if (m_reloading || !wait) {
        return;
    }
    if (wait->count() > 0) {
        m_timer.start(*wait);
        return;
    }
    m_reloading = true;
    emit AboutToReload();
    const auto result =
        m_live.Reload(m_catalogue, m_directory, now, std::chrono::system_clock::now());
    emit Reloaded();
    for (const auto& failure : result.failures) {
        ReportError(failure);
    }
    m_reloading = false;
    Schedule();
}
