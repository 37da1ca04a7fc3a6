#pragma once

#include "DrawGrid.h"
#include "Game.h"
#include "Solver.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QLabel;
class QTimer;
class TSettingsForm;
namespace kb::platform {
class PictureBox;
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
    const TSolver* Solver() const { return m_solver.get(); }
    int Score() const { return m_score; }
    int PrevScore() const { return m_prevScore; }
    const std::string& ScoreText() const { return m_scoreText; }
    const std::string& PictureDir() const { return m_pictureDir; }
    bool FullRepaint() const { return m_fullRepaint; }
    bool AnimationOn() const { return m_animationOn; }
    bool ShowColors() const { return m_showColors; }
    int HighlightMode() const { return m_highlightMode; }
    bool SolutionCheckerOn() const { return m_solutionCheckerOn; }
    TSettingsForm* SettingsForm() const { return m_settingsForm; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void BuildMenu();
    void BuildStatusBar(QWidget* client);
    void PuzzleGridDrawCell(QPainter& canvas, int x, int y, const QRect& r, TDrawGrid::CellState state);
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
    void PutCheckMark(QAction* item);
    void SetAnimation(bool value);
    void SetShowColors(bool value);
    void SetHighlightMode(int value);
    void SetSolutionChecker(bool value);

    // Handlers that controls and the timer call.
    template <typename Handler>
    auto Guard(Handler handler);

    bool m_animationOn = false;
    bool m_showColors = true;
    int m_highlightMode = 0;
    bool m_solutionCheckerOn = true;
    std::unique_ptr<TGame> m_game;
    std::unique_ptr<TSolver> m_solver;

    int m_prevScore = 0;
    int m_score = 0;
    // Points for a group of n tiles, for every group a board can hold.
    std::array<int, TMap::MaxWidth * TMap::MaxHeight + 1> m_scoreTable{};
    std::string m_scoreText;
    std::string m_pictureDir;
    bool m_fullRepaint = false;
    bool m_placed = false;

    QWidget* m_client = nullptr;
    TDrawGrid* m_puzzleGrid = nullptr;
    QWidget* m_statusBar = nullptr;
    QWidget* m_panel1 = nullptr;
    QWidget* m_panel2 = nullptr;
    QLabel* m_scoreLabel = nullptr;
    kb::platform::PictureBox* m_blocks = nullptr;
    std::array<kb::platform::PictureBox*, 6> m_boxImages{};
    QTimer* m_timer1 = nullptr;
    QActionGroup* m_levelGroup = nullptr;
    QAction* m_checkedLevel = nullptr;
    QAction* m_expert1 = nullptr;
    QAction* m_custom1 = nullptr;
    QAction* m_undo1 = nullptr;
    QAction* m_redo1 = nullptr;
    TSettingsForm* m_settingsForm = nullptr;
};
