#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace kb::address {

// What the address book needs of the mail hand-off: the address, then the
// request to start the browser. The result tells whether the start worked.
class MailSender {
public:
    virtual ~MailSender() = default;
    virtual void SetMail(const std::string& address) = 0;
    virtual bool SendMail() = 0;
};

// Makes the window's mail sender each time the window is shown.
using MailSenderFactory = std::function<std::unique_ptr<MailSender>()>;

// A MailSender over any class with SetMail(address) and bool SendMail(),
// such as the launcher's browser hand-off.
template <typename Sender>
class MailSenderOf final : public MailSender {
public:
    void SetMail(const std::string& address) override { m_sender.SetMail(address); }
    bool SendMail() override { return m_sender.SendMail(); }

private:
    Sender m_sender;
};

template <typename Sender>
MailSenderFactory mailSenderFactory()
{
    return [] { return std::make_unique<MailSenderOf<Sender>>(); };
}

} // namespace kb::address
