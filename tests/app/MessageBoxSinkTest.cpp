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

struct Shown {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool modal = false;
};

// Shows one message through the installed sink, reads the box that opens and
// presses its OK button.
Shown ShowAndClose(const char* text, MessageKind kind) {
    Shown shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        shown = {box->windowTitle(), box->text(), box->icon(), {}, box->isModal()};
        for (auto* button : box->buttons()) {
            shown.buttons << button->text();
        }
        box->button(QMessageBox::Ok)->click();
    });
    ShowMessage(text, kind);
    return shown;
}

TEST(MessageBoxSink, ShowsAModalBoxWithOneOkButtonUnderTheApplicationsTitle) {
    GameEnvironment environment;
    const char* mode = std::getenv("SPLICEBOX_MESSAGES");
    const std::string savedMode = mode != nullptr ? mode : "";
    ::unsetenv("SPLICEBOX_MESSAGES");
    int argc = 1;
    char name[] = "test_app";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    InstallMessageBoxSink();

    const auto warning =
        ShowAndClose("Error reading from file \"a\xC3\xA9.kiv\"", MessageKind::Warning);
    EXPECT_EQ(warning.title, "Splicebox");
    EXPECT_EQ(warning.text, QString::fromUtf8("Error reading from file \"a\xC3\xA9.kiv\""));
    EXPECT_EQ(warning.icon, QMessageBox::Warning);
    EXPECT_EQ(warning.buttons, QStringList{"OK"});
    EXPECT_TRUE(warning.modal);
    EXPECT_EQ(ShowAndClose("About", MessageKind::Information).icon, QMessageBox::Information);

    SetMessageSink(nullptr);
    if (mode != nullptr) {
        ::setenv("SPLICEBOX_MESSAGES", savedMode.c_str(), 1);
    }
}

} // namespace
