#include "MetafileHelper.h"

#include "platform/files/Environment.h"
#include "platform/files/FileDescriptor.h"
#include "platform/files/FileErrors.h"
#include "platform/pictures/Metafile.h"
#include "platform/pictures/MetafileProtocol.h"
#include "platform/pictures/SocketTransfer.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <mutex>
#include <optional>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace kb::platform {
namespace {

namespace protocol = metafileProtocol;
using Clock = std::chrono::steady_clock;

// Loading the libraries, the fonts and the font caches is no work on a
// picture, and a cold cache may take a while to read.
constexpr std::chrono::seconds startingTime{10};
constexpr std::chrono::milliseconds drawingTime = MetafileLimits::maxDrawingTime;

// A started helper, killed and reaped when dropped: never a zombie, never
// left running behind the program.
class ChildProcess {
public:
    ChildProcess() = default;
    explicit ChildProcess(pid_t pid)
        : m_pid(pid)
    {
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ChildProcess(ChildProcess&& other) noexcept
        : m_pid(std::exchange(other.m_pid, -1))
    {
    }
    ChildProcess& operator=(ChildProcess&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_pid = std::exchange(other.m_pid, -1);
        }
        return *this;
    }
    ~ChildProcess() { reset(); }

    bool running() const { return m_pid > 0; }
    void reset()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {}
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
};

std::string helperBesideProgramOrInstalled()
{
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        const std::string program(self, std::size_t(length));
        const std::string directory = program.substr(0, program.rfind('/') + 1);
        for (const char* relative : {KB_METAFILE_HELPER_NAME, KB_METAFILE_HELPER_FROM_PROGRAM}) {
            if (isExecutableFile(directory + relative))
                return directory + relative;
        }
    }
    return KB_INSTALLED_METAFILE_HELPER;
}

class MetafileHelper {
public:
    void use(const std::string& path)
    {
        const std::lock_guard lock(m_mutex);
        m_path = path;
        stop();
    }

    void prepare()
    {
        const std::lock_guard lock(m_mutex);
        if (!m_child.running())
            restart();
    }

    QImage draw(std::string_view bytes, PictureFormat format, double ratio)
    {
        const std::lock_guard lock(m_mutex);
        if (!m_child.running())
            start();
        if (!m_ready && !awaitReady()) {
            stop();
            throwInvalidMetafile();
        }
        std::optional<QImage> picture;
        protocol::Reply reply{};
        const bool answered = exchange(bytes, format, ratio, reply, picture);
        // Whatever went wrong, the helper is not trusted with another picture;
        // the next one starts at once, so that it is ready when asked.
        if (!answered || reply.retiring)
            restart();
        if (!answered)
            throwInvalidMetafile();
        switch (reply.outcome) {
        case protocol::picture:
            picture->setDevicePixelRatio(metafileRatio(protocol::ratioFromWire(reply.ratio)));
            return *picture;
        case protocol::outOfMemory: throw EInvalidGraphic(metafileOutOfMemory);
        case protocol::playerDidNotStart: throw EInvalidGraphic(metafilePlayerDidNotStart);
        default: throwInvalidMetafile();
        }
    }

private:
    void start()
    {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
            throwInvalidMetafile();
        FileDescriptor ours(ends[0]);
        const FileDescriptor theirs(ends[1]);

        posix_spawn_file_actions_t actions;
        posix_spawnattr_t attributes;
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
        // The descriptor is moved to the helper's known place, which clears
        // its close-on-exec flag; every other descriptor of ours is closed
        // on exec. Signals start at their defaults and unblocked.
        posix_spawn_file_actions_adddup2(&actions, theirs.get(), protocol::helperSocket);
        sigset_t signalSet;
        sigemptyset(&signalSet);
        posix_spawnattr_setsigmask(&attributes, &signalSet);
        sigfillset(&signalSet);
        posix_spawnattr_setsigdefault(&attributes, &signalSet);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        if (m_path.empty())
            m_path = helperBesideProgramOrInstalled();
        const std::string& path = m_path;
        char* const arguments[] = {const_cast<char*>(path.c_str()), nullptr};
        pid_t pid = -1;
        const int failed = ::posix_spawn(&pid, path.c_str(), &actions, &attributes, arguments, environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        if (failed != 0)
            throwInvalidMetafile();
        m_child = ChildProcess(pid);
        m_socket = std::move(ours);
        m_ready = false;
    }

    void stop()
    {
        m_socket.reset();
        m_child.reset();
        m_ready = false;
    }

    void restart()
    {
        stop();
        try {
            start();
        } catch (const EInvalidGraphic&) {
            // Tried again with the next picture.
        }
    }

    bool awaitReady()
    {
        char signal = 0;
        m_ready = receiveAll(m_socket.get(), &signal, 1, Clock::now() + startingTime) && signal == protocol::ready;
        return m_ready;
    }

    bool exchange(std::string_view bytes, PictureFormat format, double ratio, protocol::Reply& reply,
                  std::optional<QImage>& picture)
    {
        const Clock::time_point deadline = Clock::now() + drawingTime;
        const int fd = m_socket.get();
        const protocol::Request request{format == PictureFormat::EnhancedMetafile ? protocol::enhancedMetafile
                                                                                  : protocol::windowsMetafile,
                                        protocol::ratioToWire(ratio), bytes.size()};
        if (!sendAll(fd, reinterpret_cast<const char*>(&request), sizeof request, deadline)
            || !sendAll(fd, bytes.data(), bytes.size(), deadline)
            || !receiveAll(fd, reinterpret_cast<char*>(&reply), sizeof reply, deadline))
            return false;
        if (reply.outcome != protocol::picture)
            return true;
        if (reply.width < 1 || reply.width > unsigned(MetafileLimits::maxSide) || reply.height < 1
            || reply.height > unsigned(MetafileLimits::maxSide))
            return false;
        QImage image(int(reply.width), int(reply.height), QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return false;
        const std::size_t rowBytes = std::size_t(reply.width) * 4;
        for (int y = 0; y < image.height(); ++y) {
            if (!receiveAll(fd, reinterpret_cast<char*>(image.scanLine(y)), rowBytes, deadline))
                return false;
        }
        picture = std::move(image);
        return true;
    }

    std::mutex m_mutex;
    std::string m_path;
    // The socket is closed before the helper is killed and reaped.
    ChildProcess m_child;
    FileDescriptor m_socket;
    bool m_ready = false;
};

MetafileHelper& helper()
{
    static MetafileHelper instance;
    return instance;
}

} // namespace

QImage drawMetafileInHelper(std::string_view bytes, PictureFormat format, double ratio)
{
    return helper().draw(bytes, format, metafileRatio(ratio));
}

void startMetafileHelper()
{
    helper().prepare();
}

void useMetafileHelper(const std::string& path)
{
    helper().use(path);
}

} // namespace kb::platform
