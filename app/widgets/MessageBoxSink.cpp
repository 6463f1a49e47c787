#include "app/widgets/MessageBoxSink.h"

#include "app/MessageBox.h"
#include "app/StringTable.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void ShowMessageBox(const char* text, MessageKind kind) {
    const char* title = LoadString(IDS_APPLICATION_TITLE);
    QMessageBox box(kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information,
                    QString::fromUtf8(title != nullptr ? title : ""), QString::fromUtf8(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace

void InstallMessageBoxSink() {
    SetMessageSink(&ShowMessageBox);
}
