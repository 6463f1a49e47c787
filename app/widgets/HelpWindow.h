#pragma once

#include "platform/ChmFile.h"

#include <QTextBrowser>

#include <memory>

// Shows pages of a compiled help file. Links and pictures are resolved inside
// that file; links to the web open in the desktop's browser. A window of its
// owner's, when it has one: above it, on top when it is, centred on it.
class CHelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    CHelpWindow(std::unique_ptr<CChmFile> file, const char* page, const QString& title,
                QWidget* owner = nullptr);

    // The address under which a page of the help file is shown.
    static QUrl PageUrl(const char* page);

    QVariant loadResource(int, const QUrl& name) override;

private:
    std::unique_ptr<CChmFile> m_file;
};
