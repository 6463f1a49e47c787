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
        // Describes the box that opens, then presses its OK button.
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shown << box->windowTitle() << box->text() << QString::number(box->icon())
                  << (box->isModal() ? "modal" : "modeless");
            for (auto* button : box->buttons()) {
                shown << button->text();
            }
            box->button(QMessageBox::Ok)->click();
        });
        ShowMessage(text, kind);
        EXPECT_EQ(shown, (QStringList{"Splicebox", QString::fromUtf8(text), QString::number(icon),
                                      "modal", "OK"}));
    }
    SetMessageSink(nullptr);
    ::setenv("SPLICEBOX_MESSAGES", "stderr", 1);
}

} // namespace
