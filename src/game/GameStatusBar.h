#pragma once

#include <QWidget>

#include <array>

class QLabel;
namespace kb::platform {
class PictureBox;
}

namespace kb::game {

// The strip along the bottom of the game window: six boxes with a picture
// and a "00" caption each, and the score at the right edge.
class GameStatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int Height = 47;
    static constexpr int BoxCount = 6;

    explicit GameStatusBar(QWidget* parent = nullptr);

    // Spans the bottom of a client area of that size. Boxes that would run
    // under the score are hidden rather than drawn over.
    void FitToClient(QSize client);
    void SetScoreText(const QString& text);
    kb::platform::PictureBox* BoxImage(int index) const;

private:
    std::array<QWidget*, BoxCount> m_boxes{};
    std::array<kb::platform::PictureBox*, BoxCount> m_boxImages{};
    QWidget* m_panel1 = nullptr;
    QWidget* m_panel2 = nullptr;
    QLabel* m_scoreLabel = nullptr;
};

} // namespace kb::game
