#pragma once

#include <functional>
#include <memory>
#include <string>

namespace kb::launch {

// What a window needs of the mail hand-off: the address, then the request to
// start the mail program. The result tells whether the start worked.
class MailSender {
public:
    virtual ~MailSender() = default;
    virtual void SetMail(const std::string& address) = 0;
    virtual bool SendMail() = 0;
};

// Makes a window's mail sender each time the window is shown. The main block
// creates one and hands it to every window that sends mail; tests hand in a
// recording one.
using MailSenderFactory = std::function<std::unique_ptr<MailSender>()>;

} // namespace kb::launch
