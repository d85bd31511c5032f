#include "platform/single_instance.h"
#include <fcntl.h>
#include <juce_events/juce_events.h>
#include <sys/file.h>
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
} // namespace

// The folder for this user's sockets and locks: $XDG_RUNTIME_DIR, else a private folder in /tmp
// (made 0700, used only when this user owns it); empty when neither can be had.
static juce::File user_runtime_folder()
{
    if (auto* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/')
        if (juce::File dir(runtime); dir.isDirectory() && access(runtime, W_OK | X_OK) == 0) return dir;
    const juce::File dir("/tmp/rx40panel-" + juce::String((int)getuid()));
    mkdir(dir.getFullPathName().toRawUTF8(), 0700);
    return private_folder(dir) ? dir : juce::File();
}

struct single_instance::state
{
    juce::String socketPath, lockPath;
    std::function<void()> callback;
    int lockFd = -1, listenFd = -1;

    ~state()
    {
        if (listenFd >= 0)
        {
            juce::LinuxEventLoop::unregisterFdCallback(listenFd);
            close(listenFd);
            unlink(socketPath.toRawUTF8()); // ours: we hold the lock
        }
        if (lockFd >= 0) close(lockFd);
    }

    bool notify_running_copy() const
    {
        const int s = connect_to(socketPath);
        if (s < 0) return false;
        const bool sent = send(s, "show", 4, MSG_NOSIGNAL) == 4;
        close(s);
        return sent;
    }

    // Listens on the socket; false only when another copy already listens there.
    bool listen()
    {
        sockaddr_un addr;
        if (!fill_address(addr, socketPath)) return false;
        // Only a copy holding the lock gets here, so a socket file left is a dead copy's, unless a
        // copy from before the lock still listens on it: never take that one's socket away.
        if (const int live = connect_to(socketPath); live >= 0)
        {
            close(live);
            return false;
        }
        unlink(socketPath.toRawUTF8());
        listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (listenFd < 0) return true;
        if (bind(listenFd, (sockaddr*)&addr, sizeof(addr)) != 0 || ::listen(listenFd, 4) != 0)
        {
            close(listenFd);
            listenFd = -1;
            return true; // runs, without hearing later starts
        }
        juce::LinuxEventLoop::registerFdCallback(listenFd,
                                                 [this](int fd)
                                                 {
                                                     const int c =
                                                         accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
                                                     if (c < 0) return;
                                                     close(c);
                                                     if (callback) callback();
                                                 });
        return true;
    }
};

single_instance::single_instance(const juce::String& appName, std::function<void()> onAnotherStart)
    : d(std::make_unique<state>())
{
    d->callback = std::move(onAnotherStart);
    const auto dir = user_runtime_folder();
    if (dir == juce::File()) return; // nowhere private to meet: run unguarded
    const auto key =
        appName + "|" + juce::File::getSpecialLocation(juce::File::userHomeDirectory).getFullPathName();
    const auto base = "rx40panel-" + juce::String::toHexString(key.hashCode64());
    d->socketPath = dir.getChildFile(base + ".sock").getFullPathName();
    d->lockPath = dir.getChildFile(base + ".lock").getFullPathName();

    if (d->notify_running_copy())
    {
        otherCopy = true;
        return;
    }
    d->lockFd = open(d->lockPath.toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (d->lockFd < 0) return;
    if (flock(d->lockFd, LOCK_EX | LOCK_NB) != 0)
    {
        // A live copy holds the lock, so this start ends either way; one that is still starting
        // gets a moment to listen, so that its window is shown.
        close(d->lockFd);
        d->lockFd = -1;
        for (int i = 0; i < 50 && !d->notify_running_copy(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        otherCopy = true;
        return;
    }
    if (!d->listen()) otherCopy = d->notify_running_copy();
}

single_instance::~single_instance() = default;
} // namespace platform
