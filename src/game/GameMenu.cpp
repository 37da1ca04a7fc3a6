#include "GameMenu.h"

#include "game/Scoring.h"
#include "platform/ui/HandlerGuard.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenuBar>

#include <utility>

namespace kb::game {

GameMenuItems buildGameMenu(QMainWindow& window, const GameMenuHandlers& handlers)
{
    const auto addItem = [&window](QMenu* menu, const char* name, const QString& caption) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        item->setParent(&window);
        return item;
    };
    const auto onTrigger = [&window](QAction* item, std::function<void()> handler) {
        kb::platform::connectGuarded(item, &QAction::triggered, &window, std::move(handler));
        return item;
    };
    const auto addSeparator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    GameMenuItems items;
    QMenu* game1 = window.menuBar()->addMenu(QStringLiteral("&Game"));
    game1->setObjectName(QStringLiteral("Game1"));
    onTrigger(addItem(game1, "New1", QStringLiteral("&New")), handlers.new1)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    addSeparator(game1, "N3");

    auto* levelGroup = new QActionGroup(&window);
    static constexpr const char* levelNames[] = {"Beginner1", "Intermediate1", "Expert1"};
    static const QString levelCaptions[] = {QStringLiteral("&Beginner"), QStringLiteral("&Intermediate"),
                                            QStringLiteral("&Expert")};
    for (int tag = 0; tag < static_cast<int>(levelTable.size()); ++tag) {
        QAction* level = addItem(game1, levelNames[tag], levelCaptions[tag]);
        onTrigger(level, [level, handler = handlers.level] { handler(level); });
        level->setData(tag);
        level->setCheckable(true);
        levelGroup->addAction(level);
        if (tag == expertLevel)
            items.expert1 = level;
    }
    items.custom1 = onTrigger(addItem(game1, "Custom1", QStringLiteral("&Custom")), handlers.custom1);
    items.custom1->setCheckable(true);
    levelGroup->addAction(items.custom1);
    addSeparator(game1, "N4");

    items.undo1 = onTrigger(addItem(game1, "Undo1", QStringLiteral("&Undo")), handlers.undo1);
    items.undo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    items.undo1->setEnabled(false);
    items.redo1 = onTrigger(addItem(game1, "Redo1", QStringLiteral("&Redo")), handlers.redo1);
    items.redo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    items.redo1->setEnabled(false);
    addSeparator(game1, "N5");
    onTrigger(addItem(game1, "Exit1", QStringLiteral("E&xit")), handlers.exit1);

    QMenu* help1 = window.menuBar()->addMenu(QStringLiteral("&Help"));
    help1->setObjectName(QStringLiteral("Help1"));
    // The program names no help file, so there is never a topic to show.
    addItem(help1, "Contents1", QStringLiteral("&Contents"))->setEnabled(false);
    return items;
}

} // namespace kb::game
