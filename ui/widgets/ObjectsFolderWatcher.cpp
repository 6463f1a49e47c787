#include "ui/widgets/ObjectsFolderWatcher.h"

#include "agents/AgentFileListing.h"

#include <QSet>
#include <QStringList>

#include <chrono>

namespace {

QStringList AgentFilesOf(const std::string& directory) {
    QStringList paths;
    // A listing that fails part-way is reported by the reload.
    for (const auto& path : ListAgentFiles(directory).value_or(AgentFileList{}).paths) {
        paths.append(QString::fromStdString(path));
    }
    return paths;
}

} // namespace

CObjectsFolderWatcher::CObjectsFolderWatcher(CAgentCatalogue& catalogue, QObject* parent)
    : QObject(parent), m_catalogue(catalogue) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CObjectsFolderWatcher::OnTimer);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &CObjectsFolderWatcher::OnChange);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &CObjectsFolderWatcher::OnChange);
}

void CObjectsFolderWatcher::Watch(const std::string& directory) {
    m_directory = directory;
    m_live.NoteStartupScan(m_catalogue, directory);
    m_watcher.addPath(QString::fromStdString(directory));
    WatchAgentFiles();
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
    WatchAgentFiles();
    emit Reloaded();
    for (const auto& failure : result.failures) {
        ReportError(failure);
    }
    m_reloading = false;
    Schedule();
}

// Files that appeared since are watched from now on, and watches of files that
// have gone are dropped.
void CObjectsFolderWatcher::WatchAgentFiles() {
    const QStringList present = AgentFilesOf(m_directory);
    const QStringList watched = m_watcher.files();
    const QSet<QString> presentSet(present.begin(), present.end());
    const QSet<QString> watchedSet(watched.begin(), watched.end());
    QStringList added;
    for (const QString& path : present) {
        if (!watchedSet.contains(path)) {
            added.append(path);
        }
    }
    QStringList gone;
    for (const QString& path : watched) {
        if (!presentSet.contains(path)) {
            gone.append(path);
        }
    }
    if (!gone.isEmpty()) {
        m_watcher.removePaths(gone);
    }
    if (!added.isEmpty()) {
        m_watcher.addPaths(added);
    }
}
