#include "sim/mirewalk-sim/StdinReader.h"

#include <unistd.h>

namespace {

// One read's worth; longer input simply takes several reads.
constexpr std::size_t kReadChunk = 4096;

} // namespace

CStdinReader::CStdinReader() : m_notifier(STDIN_FILENO, QSocketNotifier::Read) {
    connect(&m_notifier, &QSocketNotifier::activated, this, &CStdinReader::OnReadable);
}

void CStdinReader::OnReadable() {
    char chunk[kReadChunk];
    const ssize_t count = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (count <= 0) {
        m_notifier.setEnabled(false);
        return;
    }
    m_pending.append(chunk, count);
    for (qsizetype end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
        const QString line = QString::fromUtf8(m_pending.left(end));
        m_pending.remove(0, end + 1);
        Q_EMIT LineReceived(line);
    }
}
