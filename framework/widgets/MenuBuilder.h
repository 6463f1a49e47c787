#pragma once

#include "framework/MenuTemplate.h"

class QAction;
class QMenuBar;
class QWidget;

// A menu bar with one QAction per item, its command id in QAction::data();
// greyed items are disabled.
QMenuBar* BuildMenuBar(const CMenuTemplate& menu, QWidget* parent);

// The action of command `commandId` anywhere in the bar, or nullptr.
QAction* FindMenuCommand(const QMenuBar& bar, int commandId);
