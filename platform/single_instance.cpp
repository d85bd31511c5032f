#include "platform/single_instance.h"
#include <juce_events/juce_events.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform
{
namespace
{
juce::String socket_path(const juce::String& appName)
{
    auto* runtime = std::getenv("XDG_RUNTIME_DIR");
    juce::File dir =
        runtime != nullptr && juce::File(runtime).isDirectory() ? juce::File(runtime) : juce::File("/tmp");
    auto key =
        appName + "|" + juce::File::getSpecialLocation(juce::File::userHomeDirectory).getFullPathName();
    return dir
        .getChildFile("rx40panel-" + juce::String((int)getuid()) + "-" +
                      juce::String::toHexString(key.hashCode64()))
        .getFullPathName();
}

bool fill_address(sockaddr_un& addr, const juce::String& path)
{
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.getNumBytesAsUTF8() >= sizeof(addr.sun_path)) return false;
    std::strcpy(addr.sun_path, path.toRawUTF8());
    return true;
}
} // namespace

bool notify_running_instance(const juce::String& appName)
{
    sockaddr_un addr;
    if (!fill_address(addr, socket_path(appName))) return false;
    int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    bool ok = connect(s, (sockaddr*)&addr, sizeof(addr)) == 0 && send(s, "show", 4, MSG_NOSIGNAL) == 4;
    close(s);
    return ok;
}

instance_listener::instance_listener(const juce::String& appName, std::function<void()> onAnotherStart)
    : path(socket_path(appName)), callback(std::move(onAnotherStart))
{
    sockaddr_un addr;
    if (!fill_address(addr, path)) return;
    fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return;
    unlink(path.toRawUTF8());
    if (bind(fd, (sockaddr*)&addr, sizeof(addr)) != 0 || listen(fd, 4) != 0)
    {
        close(fd);
        fd = -1;
        return;
    }
    juce::LinuxEventLoop::registerFdCallback(fd,
                                             [this](int listenFd)
                                             {
                                                 int c = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
                                                 if (c < 0) return;
                                                 close(c);
                                                 if (callback) callback();
                                             });
}

instance_listener::~instance_listener()
{
    if (fd < 0) return;
    juce::LinuxEventLoop::unregisterFdCallback(fd);
    close(fd);
    unlink(path.toRawUTF8());
}
} // namespace platform
