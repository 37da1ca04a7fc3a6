#pragma once

#include "game/CellPainting.h"
#include "game/DrawGrid.h"
#include "game/Game.h"
#include "game/Scoring.h"
#include "game/Solver.h"

#include <QMainWindow>

#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QTimer;
class TSettingsForm;
namespace kb::platform {
class PictureBox;
}
namespace kb::game {
class GameStatusBar;
}

// The puzzle's window: draws the current board of its game as a grid of
// 32 x 32 cells, turns clicks and the space key into moves, keeps the score
// and reports the end of a game. Closing it only hides it.
class TGameForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TGameForm(QWidget* parent = nullptr);
    ~TGameForm() override;

    // Shows the window with the pictures of dir (a DOS path, no trailing
    // separator); the launcher passes its System_Dir.
    void Show(const std::string& dir);

    // Menu handlers.
    void New1Click();
    void LevelClick(QAction* item);
    void Custom1Click();
    void Undo1Click();
    void Redo1Click();
    void Exit1Click();
    // Options that the shipped menu does not offer.
    void Animation1Click();
    void Color1Click();
    void Highlight1Click();
    void SolutionChecker1Click();
    void Solve1Click();

    // The timer's tick while tiles settle step by step.
    void AnimateMap();

    TGame& Game() { return *m_game; }
    int Score() const { return m_scoring.Score(); }
    const std::string& PictureDir() const { return m_pictureDir; }
    bool FullRepaint() const { return m_fullRepaint; }
    TSettingsForm* SettingsForm() const { return m_settingsForm; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void BuildMenu();
    void PuzzleGridDrawCell(QPainter& canvas, int x, int y, const QRect& r, bool selected);
    void PuzzleGridMouseMove(QPoint point);
    void PuzzleGridMouseUp(QPoint point);
    void PuzzleGridKeyUp(int key);
    void Create_Icon(int index, kb::platform::PictureBox* image);
    void SizeToBoard();
    void RefreshBoard();
    void PlayAt(int x, int y);
    void CheckGameOver();
    void StartSolver();
    void UpdateUndoRedo();
    // The board size and colour count of a new level.
    void applyLevel(int columns, int rows, int colors);
    void PutCheckMark(QAction* item);
    void SetAnimation(bool value);
    void SetShowColors(bool value);
    void SetHighlightMode(int value);
    void SetSolutionChecker(bool value);

    bool m_animationOn = false;
    bool m_showColors = true;
    int m_highlightMode = 0;
    bool m_solutionCheckerOn = true;
    std::unique_ptr<TGame> m_game;
    std::unique_ptr<TSolver> m_solver;

    kb::game::Scoring m_scoring;
    std::string m_pictureDir;
    bool m_fullRepaint = false;
    kb::game::PaintedCells m_painted;

    QWidget* m_client = nullptr;
    kb::game::DrawGrid* m_puzzleGrid = nullptr;
    kb::game::GameStatusBar* m_statusBar = nullptr;
    kb::platform::PictureBox* m_blocks = nullptr;
    QTimer* m_timer1 = nullptr;
    QAction* m_checkedLevel = nullptr;
    QAction* m_custom1 = nullptr;
    QAction* m_undo1 = nullptr;
    QAction* m_redo1 = nullptr;
    TSettingsForm* m_settingsForm = nullptr;
};
