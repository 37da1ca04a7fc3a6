#pragma once

#include "launch/MailSender.h"

#include <memory>
#include <string>
#include <vector>

namespace kb::test {

// What the windows did with the mail senders they were given.
struct MailRecord {
    int created = 0;
    int alive = 0;
    std::vector<std::string> sent;
    bool result = true; // what each SendMail reports
};

// Mail senders that start nothing and record every address sent, for the
// tests of the windows that hand addresses on.
inline kb::launch::MailSenderFactory recordingMailSenders(std::shared_ptr<MailRecord> record)
{
    class Recorder final : public kb::launch::MailSender {
    public:
        explicit Recorder(std::shared_ptr<MailRecord> record)
            : m_record(std::move(record))
        {
            ++m_record->created;
            ++m_record->alive;
        }
        ~Recorder() override { --m_record->alive; }
        void SetMail(const std::string& address) override { m_address = address; }
        bool SendMail() override
        {
            m_record->sent.push_back(m_address);
            return m_record->result;
        }

    private:
        std::shared_ptr<MailRecord> m_record;
        std::string m_address;
    };
    return [record = std::move(record)] { return std::make_unique<Recorder>(record); };
}

} // namespace kb::test
