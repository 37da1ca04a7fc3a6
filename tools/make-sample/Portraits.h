#pragma once

#include <QColor>
#include <QImage>

enum class HairStyle { Short, Long, Bun, Bald, Curly, Bob };

// What tells one stylised passport photo from another.
struct Portrait {
    QColor background;
    QColor skin;
    QColor hair;
    QColor clothes;
    HairStyle style;
    bool glasses = false;
    bool beard = false;
};

// Photo size: small enough to sit whole, unscaled, in the address book's
// photo panel.
constexpr int portraitWidth = 80;
constexpr int portraitHeight = 100;

QImage drawPortrait(const Portrait& portrait);
