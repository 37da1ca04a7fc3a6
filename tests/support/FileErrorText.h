#pragma once

#include "platform/files/FileErrors.h"

#include <functional>
#include <string>

// The text of the file error that action raises, or "no error".
inline std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const kb::platform::EInOutError& error) {
        return error.what();
    }
    return "no error";
}
