#pragma once

#include <QColor>
#include <QRect>
#include <QSize>

#include <array>

namespace kb::shell::launcher {

constexpr QSize clientSize(631, 387);
constexpr QRect pageArea(4, 4, 623, 377);
constexpr int pageHeight = pageArea.height();
constexpr int toolBarHeight = 29;
constexpr int buttonWidth = 217;
constexpr int buttonHeight = 50;
constexpr int centralPaneLeft = 217;
constexpr int centralPaneWidth = 189;
constexpr int rightColumnLeft = centralPaneLeft + centralPaneWidth;
constexpr int clockIntervalMs = 60000;
// The launcher button bar picture, which every button shows.
constexpr QSize buttonBarSize(223, 50);
constexpr int buttonsPerColumn = 7;

inline const QColor teal(0, 128, 128);
inline const QColor white(255, 255, 255);
inline const QColor headerColour(64, 128, 128);

struct ButtonSpec {
    const char* caption;
    const char* faceName;
    bool white;
};

// Top to bottom; the Tag of a button is its row, counted from 1.
constexpr std::array<ButtonSpec, buttonsPerColumn> leftButtons{{
    {"Schedule", "Button_Label_1", false},
    {"ToDo List", "Label12", false},
    {"Notebook", "Label14", false},
    {"Address", "Address_Button_Label", true},
    {"E-Mail", "Label35", true},
    {"Fax", "Label37", false},
    {"Setup", "Label39", true},
}};
constexpr std::array<ButtonSpec, buttonsPerColumn> rightButtons{{
    {"World Clock", "Label4", false},
    {"Calculator", "Label6", false},
    {"Editor", "Edit_Button_Label", true},
    {"Draw Memo", "Label49", false},
    {"Game", "Game_Button_Label", true},
    {"Personal", "Label45", false},
    {"Exit", "Exit_ButtonLabel", true},
}};

// The tags that do something; the Information picture has a tag of its own.
namespace LeftTag {
constexpr int address = 4;
constexpr int eMail = 5;
constexpr int setup = 7;
constexpr int information = 8;
} // namespace LeftTag
namespace RightTag {
constexpr int editor = 3;
constexpr int game = 5;
constexpr int exit = 7;
} // namespace RightTag

// Picture index 1..5 to file, for each column; the Information picture uses
// the left column's table.
constexpr std::array<const char*, 5> leftPictures{"P_hana02.bmp", "P_hana03.bmp", "P_ki01.bmp", "P_ko01.bmp",
                                                  "P_yama01.bmp"};
constexpr std::array<const char*, 5> rightPictures{"P_ki01.bmp", "P_ko01.bmp", "P_yama01.bmp", "P_hana02.bmp",
                                                   "P_hana03.bmp"};

// The picture a tag shows: tags beyond five start the table again.
constexpr const char* pictureOf(const std::array<const char*, 5>& table, int tag)
{
    return table[static_cast<std::size_t>((tag - 1) % 5)];
}

} // namespace kb::shell::launcher
