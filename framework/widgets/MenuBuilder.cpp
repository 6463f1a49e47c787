#include "framework/widgets/MenuBuilder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

QMenuBar* BuildMenuBar(const CMenuTemplate& menu, QWidget* parent) {
    auto* bar = new QMenuBar(parent);
    for (const MenuPopup& popup : menu.popups) {
        QMenu* dropDown = bar->addMenu(QString::fromStdString(popup.text));
        for (const MenuItem& item : popup.items) {
            if (item.separator) {
                dropDown->addSeparator();
                continue;
            }
            QAction* action = dropDown->addAction(QString::fromStdString(item.text));
            action->setData(item.commandId);
            action->setEnabled(!item.grayed);
        }
    }
    return bar;
}

QAction* FindMenuCommand(const QMenuBar& bar, int commandId) {
    for (QAction* action : bar.findChildren<QAction*>()) {
        if (!action->isSeparator() && action->menu() == nullptr &&
            action->data().toInt() == commandId) {
            return action;
        }
    }
    return nullptr;
}
