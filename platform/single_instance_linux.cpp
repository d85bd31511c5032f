#include "platform/connection_pool.h"
#include "platform/single_instance.h"
#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace platform
{
namespace
{
bool private_folder(const juce::File& dir)
{
    struct stat st;
    return lstat(dir.getFullPathName().toRawUTF8(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == getuid() && (st.st_mode & 077) == 0;
}

// The folder for this user's sockets and locks: $XDG_RUNTIME_DIR, else a private folder in /tmp
// (made 0700, used only when this user owns it); empty when neither can be had.
juce::File user_runtime_folder()
{
    if (auto* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/')
        if (juce::File dir(runtime); dir.isDirectory() && access(runtime, W_OK | X_OK) == 0) return dir;
    const juce::File dir("/tmp/rx40panel-" + juce::String((int)getuid()));
    mkdir(dir.getFullPathName().toRawUTF8(), 0700);
    return private_folder(dir) ? dir : juce::File();
}

struct channel_paths
{
    juce::String socket, lock;
};

channel_paths paths_for(const juce::String& appName)
{
    const auto dir = user_runtime_folder();
    if (dir == juce::File()) return {}; // nowhere private to meet
    const auto key =
        appName + "|" + juce::File::getSpecialLocation(juce::File::userHomeDirectory).getFullPathName();
    const auto base = "rx40panel-" + juce::String::toHexString(key.hashCode64());
    return {dir.getChildFile(base + ".sock").getFullPathName(),
            dir.getChildFile(base + ".lock").getFullPathName()};
}

bool fill_address(sockaddr_un& addr, const juce::String& path)
{
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.isEmpty() || path.getNumBytesAsUTF8() >= sizeof(addr.sun_path)) return false;
    std::strcpy(addr.sun_path, path.toRawUTF8());
    return true;
}

// Connects to a listening copy; -1 when none listens there.
int connect_to(const juce::String& path)
{
    sockaddr_un addr;
    if (!fill_address(addr, path)) return -1;
    const int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return -1;
    if (connect(s, (sockaddr*)&addr, sizeof(addr)) != 0)
    {
        close(s);
        return -1;
    }
    return s;
}

// A write lock on the whole file; a test of it takes nothing, so a later start that only looks
// never makes a starting copy believe another one runs.
flock whole_file(short type)
{
    flock lock{};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

bool lock_is_held(const juce::String& lockPath)
{
    const int fd = open(lockPath.toRawUTF8(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    auto probe = whole_file(F_WRLCK);
    const bool held = fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    close(fd);
    return held;
}

class socket_connection : public local_connection
{
  public:
    socket_connection(int socketFd, const std::atomic<bool>* stopFlag) : fd(socketFd), stopFlag(stopFlag) {}
    ~socket_connection() override { close(fd); }

    int read(void* buffer, int size, int timeoutMs) override
    {
        pollfd p{fd, POLLIN, 0};
        const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32)juce::jmax(0, timeoutMs);
        for (;;)
        {
            const auto now = juce::Time::getMillisecondCounter();
            if (stopping() || now >= deadline) return -1;
            const int r = poll(&p, 1, (int)juce::jmin<juce::uint32>(deadline - now, 100));
            if (r < 0 && errno != EINTR) return -1;
            if (r <= 0) continue;
            const auto n = recv(fd, buffer, (size_t)size, 0);
            if (n < 0 && errno == EINTR) continue;
            return n < 0 ? -1 : (int)n;
        }
    }

    bool write(const void* data, int size) override
    {
        auto* at = static_cast<const char*>(data);
        while (size > 0)
        {
            const auto n = send(fd, at, (size_t)size, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            at += n;
            size -= (int)n;
        }
        return true;
    }

    bool stopping() const override { return stopFlag != nullptr && stopFlag->load(); }

  private:
    int fd;
    const std::atomic<bool>* stopFlag;
};

bool same_user(int fd)
{
    ucred peer{};
    socklen_t size = sizeof(peer);
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == getuid();
}
} // namespace

struct single_instance::state : juce::Thread
{
    channel_paths paths;
    connection_handler handler;
    int lockFd = -1, listenFd = -1;
    int wake[2] = {-1, -1};
    std::atomic<bool> stopping{false};
    std::unique_ptr<connection_pool> clients; // this thread's only

    state() : juce::Thread("command channel") {}

    ~state() override
    {
        stopping = true;
        if (wake[1] >= 0) (void)!::write(wake[1], "x", 1);
        stopThread(5000);
        for (int fd : wake)
            if (fd >= 0) close(fd);
        if (listenFd >= 0)
        {
            close(listenFd);
            unlink(paths.socket.toRawUTF8()); // ours: we hold the lock
        }
        if (lockFd >= 0) close(lockFd);
    }

    // Listens on the socket; false only when another copy already listens there.
    bool listen()
    {
        sockaddr_un addr;
        if (!fill_address(addr, paths.socket)) return false;
        // Only a copy holding the lock gets here, so a socket file left is a dead copy's, unless a
        // copy from before the lock still listens on it: never take that one's socket away.
        if (const int live = connect_to(paths.socket); live >= 0)
        {
            close(live);
            return false;
        }
        unlink(paths.socket.toRawUTF8());
        listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (listenFd < 0) return true;
        const auto oldMask = umask(077); // the socket is born 0600
        const bool bound = bind(listenFd, (sockaddr*)&addr, sizeof(addr)) == 0;
        umask(oldMask);
        if (!bound || chmod(paths.socket.toRawUTF8(), 0600) != 0 || ::listen(listenFd, 16) != 0 ||
            pipe2(wake, O_CLOEXEC) != 0)
        {
            close(listenFd);
            listenFd = -1;
            return true; // runs, without hearing later starts
        }
        startThread();
        return true;
    }

    void run() override
    {
        clients = std::make_unique<connection_pool>(handler);
        while (!threadShouldExit() && !stopping)
        {
            pollfd fds[2] = {{listenFd, POLLIN, 0}, {wake[0], POLLIN, 0}};
            if (poll(fds, 2, 1000) < 0 && errno != EINTR) break;
            if ((fds[0].revents & POLLIN) == 0) continue;
            const int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            if (!same_user(fd))
            {
                close(fd);
                continue;
            }
            clients->add(std::make_unique<socket_connection>(fd, &stopping));
        }
        clients.reset(); // each sees stopping within a tenth of a second
    }
};

single_instance::single_instance(const juce::String& appName, connection_handler onConnection)
    : d(std::make_unique<state>())
{
    d->handler = std::move(onConnection);
    d->paths = paths_for(appName);
    if (d->paths.socket.isEmpty()) return; // nowhere private to meet: run unguarded

    d->lockFd = open(d->paths.lock.toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (d->lockFd < 0) return;
    auto lock = whole_file(F_WRLCK);
    if (fcntl(d->lockFd, F_SETLK, &lock) != 0)
    {
        close(d->lockFd);
        d->lockFd = -1;
        otherCopy = true;
        return;
    }
    otherCopy = !d->listen();
}

single_instance::~single_instance() = default;

std::unique_ptr<local_connection> connect_to_running_copy(const juce::String& appName, int waitMs)
{
    const auto paths = paths_for(appName);
    if (paths.socket.isEmpty()) return nullptr;
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32)juce::jmax(0, waitMs);
    for (;;)
    {
        if (const int fd = connect_to(paths.socket); fd >= 0)
            return std::make_unique<socket_connection>(fd, nullptr);
        if (!lock_is_held(paths.lock) || juce::Time::getMillisecondCounter() >= deadline) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}
} // namespace platform
