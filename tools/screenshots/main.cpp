// Starts the program as the user would and saves screenshots of its windows,
// taken with Qt's own grab, so a developer can look at what users see.
//
//   kestrelbook-screenshots OUT_DIR
//
// Run it in a working directory prepared like scripts/run's. When no
// Kestrelbook.Ini exists the first-run dialog is captured and continued.
#include "address/UAddress.h"
#include "editor/uEditor.h"
#include "game/Game_Main.h"
#include "launch/GoToWeb.h"
#include "platform/pictures/MetafileHelper.h"
#include "shell/Kestrelbook.h"
#include "shell/UAbout.h"
#include "shell/uInit.h"
#include "shell/uKestrelbook.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <cstdio>

namespace {

void save(QWidget& window, const QString& directory, const char* name)
{
    const QString path = directory + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
    window.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

// Opens the address with the given name on the Edit page, as a double-click
// on its row does.
void openAddressByName(QWidget& addressBook, const char* name)
{
    auto* grid = addressBook.findChild<QTableView*>(QStringLiteral("Address_Grid"));
    const QModelIndexList found = grid->model()->match(grid->model()->index(1, 1), Qt::DisplayRole,
                                                       QString::fromLatin1(name), 1, Qt::MatchExactly);
    if (found.isEmpty())
        return;
    grid->setCurrentIndex(found.first());
    grid->selectRow(found.first().row());
    emit grid->doubleClicked(found.first());
}

void clickButton(QWidget& window, const char* name)
{
    if (auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(name)))
        button->click();
}

// Plays the game to its end with real mouse events on the grid, one move a
// tick, and captures the board and the end-of-game box.
void playGameToTheEnd(TGameForm& game, const QString& directory)
{
    auto* timer = new QTimer(&game);
    QObject::connect(timer, &QTimer::timeout, &game, [&game, directory, moves = 0]() mutable {
        QWidget* grid = game.findChild<QWidget*>(QStringLiteral("PuzzleGrid"));
        TGame& model = game.Game();
        for (int y = 0; y < model.Height(); ++y)
            for (int x = 0; x < model.Width(); ++x)
                if (model.CanRemove(x, y)) {
                    // The end-of-game box comes up inside this move's handler.
                    QTimer::singleShot(400, &game, [&game, directory] {
                        if (QWidget* box = QApplication::activeModalWidget()) {
                            save(*box, directory, "game-over");
                            save(game, directory, "game-final");
                            box->close();
                            QApplication::quit();
                        }
                    });
                    const QPointF at(x * 32 + 16 + 2, y * 32 + 16 + 2);
                    QMouseEvent move(QEvent::MouseMove, at, grid->mapToGlobal(at), Qt::NoButton, {}, {});
                    QApplication::sendEvent(grid, &move);
                    QMouseEvent release(QEvent::MouseButtonRelease, at, grid->mapToGlobal(at), Qt::LeftButton, {}, {});
                    QApplication::sendEvent(grid, &release);
                    if (++moves == 5)
                        save(game, directory, "game-after-5-moves");
                    return;
                }
    });
    timer->start(50);
}

void triggerMenuItem(QWidget& window, const char* name)
{
    window.findChild<QAction*>(QLatin1String(name))->trigger();
}

} // namespace

int main(int argc, char** argv)
{
    const auto app = kb::shell::startApplication(argc, argv);
    kb::platform::useMetafileHelper(KB_METAFILE_HELPER);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    Kestrelbook program(kb::launch::goToWebFactory());
    Tkb_form& launcher = program.launcher();

    QTimer::singleShot(300, &program.firstRunDialog(), [&] {
        Tfminit& dialog = program.firstRunDialog();
        if (!dialog.isVisible())
            return;
        save(dialog, out, "first-run");
        dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    });
    QTimer::singleShot(0, &launcher, [&] { launcher.show(); });
    // The keyboard's focus mark, four Tabs from the first button.
    QTimer::singleShot(900, &launcher, [&] { launcher.activateWindow(); });
    QTimer::singleShot(1000, &launcher, [&] {
        for (int i = 0; i < 4; ++i) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(launcher.focusWidget() ? launcher.focusWidget() : &launcher, &tab);
        }
        save(launcher, out, "launcher-keyboard");
    });
    QTimer::singleShot(1200, &launcher, [&] {
        save(launcher, out, "launcher");
        launcher.UserButtonsClick(5);
        save(launcher, out, "launcher-game-clicked");
        launcher.SystemButtonsClick(7);
        save(launcher, out, "setup");
        launcher.ToolButton3Click();
        triggerMenuItem(launcher, "Scale_75");
    });
    QTimer::singleShot(1800, &launcher, [&] {
        save(launcher, out, "launcher-75");
        triggerMenuItem(launcher, "Scale_100");
    });
    QTimer::singleShot(2400, &launcher, [&] {
        save(launcher, out, "launcher-75-then-100");
        launcher.SystemButtonsClick(4);
        launcher.UserButtonsClick(3);
    });
    QTimer::singleShot(3000, &launcher, [&] {
        save(program.addressBook(), out, "address-book");
        // The Edit page of the addresses whose photos are metafiles.
        openAddressByName(program.addressBook(), "Samantha O'Neill");
        save(program.addressBook(), out, "address-photo-wmf");
        clickButton(program.addressBook(), "ToolButton2");
        openAddressByName(program.addressBook(), "Marco Bellini");
        save(program.addressBook(), out, "address-photo-emf");
        clickButton(program.addressBook(), "ToolButton2");
        save(program.editor(), out, "editor");
        save(program.gameWindow(), out, "game");
        // The information window is modal: capture it from inside its loop.
        QTimer::singleShot(500, &program.informationWindow(), [&] {
            save(program.informationWindow(), out, "information");
            save(launcher, out, "launcher-information");
            program.informationWindow().reject();
        });
        launcher.SystemButtonsClick(8);
        launcher.UserButtonsClick(5);
        playGameToTheEnd(program.gameWindow(), out);
    });
    return app->exec();
}
