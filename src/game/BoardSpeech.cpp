#include "BoardSpeech.h"

namespace kb::game {
namespace {

// The colours of the tiles by their code.
constexpr std::array<const char*, 8> colourNames{"Empty", "Red", "Green", "Blue", "Magenta", "Cyan", "Yellow", "Grey"};

QString colourName(int code)
{
    return QString::fromLatin1(colourNames.at(static_cast<std::size_t>(code)));
}

} // namespace

QString cellName(const TGameMap& board, int x, int y)
{
    return QStringLiteral("%1, row %2, column %3").arg(colourName(board.GetColor(x, y))).arg(y + 1).arg(x + 1);
}

std::array<QString, 8> tileCountNames(const TGameMap& board)
{
    std::array<int, colourNames.size()> counts{};
    for (int y = 0; y < board.Height(); ++y) {
        for (int x = 0; x < board.Width(); ++x)
            ++counts.at(board.GetColor(x, y));
    }
    std::array<QString, colourNames.size()> names;
    for (std::size_t code = 0; code < names.size(); ++code)
        names[code] = QStringLiteral("%1: %2").arg(colourName(int(code))).arg(counts[code]);
    return names;
}

QString moveSaid(int removed, int points, const std::string& score)
{
    return QStringLiteral("%1 tiles, %2 points, score %3.").arg(removed).arg(points).arg(QString::fromStdString(score));
}

} // namespace kb::game
