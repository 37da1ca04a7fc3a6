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
    static constexpr int barHeight = 47;
    static constexpr int boxCount = 6;

    explicit GameStatusBar(QWidget* parent = nullptr);

    // Spans the bottom of a client area of that size. Boxes that would run
    // under the score are hidden rather than drawn over.
    void FitToClient(QSize client);
    void SetScoreText(const QString& text);
    // What a screen reader says of the counts under boxes 1 to 5: the names
    // of the colours of those codes.
    void SetTileCountNames(const std::array<QString, 8>& namesByColour);
    kb::platform::PictureBox* BoxImage(int index) const;

private:
    std::array<QWidget*, boxCount> m_boxes{};
    std::array<kb::platform::PictureBox*, boxCount> m_boxImages{};
    std::array<QLabel*, boxCount> m_boxCaptions{};
    QWidget* m_panel1 = nullptr;
    QWidget* m_panel2 = nullptr;
    QLabel* m_scoreLabel = nullptr;
};

} // namespace kb::game
