#pragma once

#include <QApplication>

namespace kb::platform {

// Shows the busy pointer for as long as it lives, so an operation that may
// take a while restores the pointer however it ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace kb::platform
