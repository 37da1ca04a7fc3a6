#pragma once

#include "Prompter.h"

#include <QString>

#include <exception>
#include <utility>

class QWidget;

namespace kb::platform {

// Text of a std::exception's message as the user reads it: bytes shown as
// Latin-1, the program's one encoding.
inline QString exceptionText(const std::exception& error)
{
    return QString::fromLatin1(error.what());
}

// Runs an event handler so that no exception crosses Qt: a failure ends the
// handler at the failing step and shows the standard error box. Returns
// false when the handler failed.
template <typename Handler>
bool guarded(QWidget* parent, Handler&& handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const std::exception& error) {
        try {
            prompter().showError(parent, exceptionText(error));
        } catch (...) {
        }
    } catch (...) {
        try {
            prompter().showError(parent, QStringLiteral("Unexpected error"));
        } catch (...) {
        }
    }
    return false;
}

} // namespace kb::platform
