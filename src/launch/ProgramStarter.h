#pragma once

#include <QString>
#include <QStringList>

namespace kb::launch {

// Starts a program with an argument list, no shell in between.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;

    // True when the program was started.
    virtual bool start(const QString& program, const QStringList& arguments) = 0;
};

// Starts the program as a process of its own that outlives ours.
class DetachedProcessStarter final : public ProgramStarter {
public:
    bool start(const QString& program, const QStringList& arguments) override;
};

} // namespace kb::launch
