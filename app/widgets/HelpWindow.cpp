#include "app/widgets/HelpWindow.h"

#include "framework/widgets/OwnedWindows.h"

namespace {
constexpr const char* kScheme = "chm";
// Large enough to read a help page beside the applet without covering it.
constexpr int kInitialWidth = 640;
constexpr int kInitialHeight = 480;
} // namespace

CHelpWindow::CHelpWindow(std::unique_ptr<CChmFile> file, const char* page, const QString& title,
                         QWidget* owner)
    : QTextBrowser(owner), m_file(std::move(file)) {
    setWindowFlags(Qt::Window);
    setWindowTitle(title);
    setOpenExternalLinks(true);
    resize(kInitialWidth, kInitialHeight);
    setSource(PageUrl(page));
    ShareOwnersKeepOnTop(*this);
    CentreOnOwner(*this);
}

QUrl CHelpWindow::PageUrl(const char* page) {
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(QLatin1Char('/') + QString::fromUtf8(page));
    return url;
}

QVariant CHelpWindow::loadResource(int, const QUrl& name) {
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    // Only the help file's own contents are shown, never other local files.
    if (url.scheme() != QLatin1String(kScheme)) {
        return {};
    }
    const auto bytes = m_file->ReadObject(url.path().toStdString());
    if (!bytes) {
        return {};
    }
    return QByteArray(reinterpret_cast<const char*>(bytes->data()),
                      static_cast<qsizetype>(bytes->size()));
}
