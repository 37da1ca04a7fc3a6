#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

// One cell of a board: a colour code (0 = empty, 1..7 = a tile of that
// colour) and a mark used only while a group is being searched.
struct TCell {
    std::uint8_t Color = 0;
    std::uint8_t Mark = 0;
};

class EMapException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A board of Width x Height cells, stored row by row from the top row.
// It knows nothing of the rules; the game builds its boards as TGameMap.
class TMap {
public:
    static constexpr int minWidth = 3;
    static constexpr int maxWidth = 19;
    static constexpr int minHeight = 3;
    static constexpr int maxHeight = 16;

    virtual ~TMap() = default;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Out-of-range values are clamped; a changed size wipes the board.
    void SetWidth(int value);
    void SetHeight(int value);

    TCell& CellAt(int x, int y);
    const TCell& CellAt(int x, int y) const;
    std::uint8_t GetColor(int x, int y) const;
    // Writes the colour only; the mark stays.
    void SetColor(int x, int y, std::uint8_t color);

    // Random tiles of colours 1..colors, one draw per cell in storage order.
    void Fill(std::uint8_t colors);
    // Copies colours and marks from a board of the same size.
    void CopyFrom(const TMap& source);
    void ClearMarks();

protected:
    TMap();
    TMap(const TMap&) = default;
    TMap& operator=(const TMap&) = default;

private:
    void Allocate();
    void CheckPosition(int x, int y) const;
    std::size_t IndexOf(int x, int y) const { return static_cast<std::size_t>(y) * m_width + x; }

    std::vector<TCell> m_cells;
    int m_width = 8;
    int m_height = 8;
};
