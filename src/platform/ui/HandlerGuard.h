#pragma once

#include "platform/text/AnsiText.h"
#include "platform/ui/Prompter.h"

#include <QObject>
#include <QString>
#include <QWidget>

#include <exception>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

namespace kb::platform {

// Text of a std::exception's message as the user reads it: bytes shown in
// the program's ANSI code page, like all its text.
inline QString exceptionText(const std::exception& error)
{
    return textFromBytes(error.what());
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

namespace detail {

// The slot that connectGuarded installs. A plain class rather than a generic
// lambda: both compilers accept it, and Qt sees every signal argument.
template <typename Receiver, typename Handler>
class GuardedSlot {
public:
    GuardedSlot(Receiver* receiver, Handler handler)
        : m_receiver(receiver)
        , m_handler(std::move(handler))
    {
    }

    template <typename... Arguments>
    void operator()(const Arguments&... arguments) const
    {
        const auto argumentList = std::forward_as_tuple(arguments...);
        guarded(m_receiver, [&] { std::apply([&](const auto&... values) { call(values...); }, argumentList); });
    }

private:
    // A handler may take the signal's arguments or none of them, and may be
    // a member function of the receiver.
    template <typename... Arguments>
    void call(const Arguments&... arguments) const
    {
        if constexpr (std::is_invocable_v<const Handler&, Receiver*, const Arguments&...>)
            std::invoke(m_handler, m_receiver, arguments...);
        else if constexpr (std::is_invocable_v<const Handler&, const Arguments&...>)
            std::invoke(m_handler, arguments...);
        else if constexpr (std::is_invocable_v<const Handler&, Receiver*>)
            std::invoke(m_handler, m_receiver);
        else
            std::invoke(m_handler);
    }

    Receiver* m_receiver;
    Handler m_handler;
};

} // namespace detail

// Connects a signal to an event handler of a window, entered through
// guarded(): a failure shows the error box over that window. The handler is
// a member function of the receiver or any callable, taking the signal's
// arguments or none.
template <typename Sender, typename Signal, typename Receiver, typename Handler>
QMetaObject::Connection connectGuarded(Sender* sender, Signal signal, Receiver* receiver, Handler handler)
{
    static_assert(std::is_base_of_v<QWidget, Receiver>, "errors are shown over a window");
    return QObject::connect(sender, signal, receiver,
                            detail::GuardedSlot<Receiver, Handler>(receiver, std::move(handler)));
}

} // namespace kb::platform
