#pragma once

#include <functional>

class QAction;
class QMainWindow;

namespace kb::game {

// What the game window's menu items call; each runs guarded, so a failure
// shows the standard error box.
struct GameMenuHandlers {
    std::function<void()> new1;
    std::function<void(QAction* level)> level;
    std::function<void()> custom1;
    std::function<void()> undo1;
    std::function<void()> redo1;
    std::function<void()> exit1;
};

// The items the window changes after building the menu.
struct GameMenuItems {
    QAction* expert1 = nullptr;
    QAction* custom1 = nullptr;
    QAction* undo1 = nullptr;
    QAction* redo1 = nullptr;
};

// Builds the Game and Help menus on the window's menu bar. The level items
// are radio items tagged 0 to 2; Undo and Redo start disabled.
GameMenuItems buildGameMenu(QMainWindow& window, const GameMenuHandlers& handlers);

} // namespace kb::game
