#include "app/widgets/MessageBoxSink.h"

#include "core/MessageBox.h"
#include "core/StringTable.h"
#include "framework/widgets/OwnedWindows.h"

#include <QMessageBox>
#include <QPointer>

namespace {

QPointer<QWidget> g_owner;

// Centred once its size is known, which is when it is about to appear.
class CCentredMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        CentreOnOwner(*this);
    }
};

void ShowMessageBox(const char* text, MessageKind kind) {
    QWidget* owner = g_owner && g_owner->isVisible() ? g_owner.data() : nullptr;
    CCentredMessageBox box(kind == MessageKind::Warning ? QMessageBox::Warning
                                                        : QMessageBox::Information,
                           QString::fromUtf8(LoadStringOrEmpty(IDS_APPLICATION_TITLE)),
                           QString::fromUtf8(text), QMessageBox::Ok, owner);
    box.setWindowModality(Qt::ApplicationModal);
    ShareOwnersKeepOnTop(box);
    box.exec();
}

} // namespace

void InstallMessageBoxSink() {
    SetMessageSink(&ShowMessageBox);
}

void SetMessageBoxOwner(QWidget* owner) {
    g_owner = owner;
}
