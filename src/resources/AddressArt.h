#pragma once

#include <QIcon>

namespace kb::resources {

// The address book's pictures, drawn in the VGA colours of the rest of the
// artwork.

// The window's own 16 x 16 icon: an open address book with a tab index.
QIcon addressIcon();

// The 16 x 16 picture of the "Send" button: a letter with a flying arrow, in
// colour, and in the embossed grey of the time when the button is disabled.
QIcon sendMailIcon();

} // namespace kb::resources
