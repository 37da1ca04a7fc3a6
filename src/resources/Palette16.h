#pragma once

#include <QColor>

namespace kb::resources {

// The 16 colours of the VGA palette that the 1998 artwork was drawn in.
namespace vga {
inline const QColor black{0, 0, 0};
inline const QColor maroon{128, 0, 0};
inline const QColor green{0, 128, 0};
inline const QColor olive{128, 128, 0};
inline const QColor navy{0, 0, 128};
inline const QColor purple{128, 0, 128};
inline const QColor teal{0, 128, 128};
inline const QColor silver{192, 192, 192};
inline const QColor grey{128, 128, 128};
inline const QColor red{255, 0, 0};
inline const QColor lime{0, 255, 0};
inline const QColor yellow{255, 255, 0};
inline const QColor blue{0, 0, 255};
inline const QColor fuchsia{255, 0, 255};
inline const QColor aqua{0, 255, 255};
inline const QColor white{255, 255, 255};
} // namespace vga

} // namespace kb::resources
