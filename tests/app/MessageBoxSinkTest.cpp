#include "app/widgets/MessageBoxSink.h"
#include "app/MessageBox.h"
#include "tests/support/GameEnvironment.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdlib>

namespace {

// Shows one message through the installed sink and describes the box that
// opens (title, text, icon, buttons, modality) before pressing its OK button.
QStringList ShowAndClose(const char* text, MessageKind kind) {
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        shown << box->windowTitle() << box->text() << QString::number(box->icon())
              << (box->isModal() ? "modal" : "modeless");
        for (auto* button : box->buttons()) {
            shown << button->text();
        }
        box->button(QMessageBox::Ok)->click();
    });
    ShowMessage(text, kind);
    return shown;
}

TEST(MessageBoxSink, ShowsAModalBoxWithOneOkButtonUnderTheApplicationsTitle) {
    GameEnvironment environment;
    ::unsetenv("SPLICEBOX_MESSAGES");
    int argc = 1;
    char name[] = "test_app";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    InstallMessageBoxSink();
    const char* const text = "Error reading from file \"a\xC3\xA9.kiv\"";
    for (const auto& [kind, icon] : {std::pair{MessageKind::Warning, QMessageBox::Warning},
                                     {MessageKind::Information, QMessageBox::Information}}) {
        EXPECT_EQ(ShowAndClose(text, kind), (QStringList{"Splicebox", QString::fromUtf8(text),
                                                         QString::number(icon), "modal", "OK"}));
    }
    SetMessageSink(nullptr);
    ::setenv("SPLICEBOX_MESSAGES", "stderr", 1);
}

} // namespace
