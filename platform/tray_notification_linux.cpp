#include "platform/program_folder.h"
#include "platform/tray_notification.h"
#include <dbus/dbus.h>
#include <thread>
#include <unistd.h>

namespace platform
{
namespace
{
// The session bus this user's desktop runs, without ever starting one.
std::string session_bus_address()
{
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address != nullptr && *address != 0)
        return address;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/')
    {
        const std::string path = std::string(runtime) + "/bus";
        if (access(path.c_str(), R_OK | W_OK) == 0) return "unix:path=" + path;
    }
    return {};
}

void notify(const std::string& address, const std::string& appName, const std::string& icon,
            const std::string& title, const std::string& text)
{
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* bus = dbus_connection_open_private(address.c_str(), &error);
    if (bus == nullptr)
    {
        dbus_error_free(&error);
        return;
    }
    dbus_connection_set_exit_on_disconnect(bus, FALSE);
    if (dbus_bus_register(bus, &error))
    {
        DBusMessage* call =
            dbus_message_new_method_call("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                         "org.freedesktop.Notifications", "Notify");
        if (call != nullptr)
        {
            // No service: the bus answers with an error nobody reads; it is never started for us.
            dbus_message_set_auto_start(call, FALSE);
            dbus_message_set_no_reply(call, TRUE);
            const char *app = appName.c_str(), *iconPath = icon.c_str(), *summary = title.c_str(),
                       *body = text.c_str();
            dbus_uint32_t replaces = 0;
            dbus_int32_t timeout = -1;
            DBusMessageIter args, list;
            dbus_message_iter_init_append(call, &args);
            dbus_message_iter_append_basic(&args, DBUS_TYPE_STRING, &app);
            dbus_message_iter_append_basic(&args, DBUS_TYPE_UINT32, &replaces);
            dbus_message_iter_append_basic(&args, DBUS_TYPE_STRING, &iconPath);
            dbus_message_iter_append_basic(&args, DBUS_TYPE_STRING, &summary);
            dbus_message_iter_append_basic(&args, DBUS_TYPE_STRING, &body);
            dbus_message_iter_open_container(&args, DBUS_TYPE_ARRAY, "s", &list);
            dbus_message_iter_close_container(&args, &list);
            dbus_message_iter_open_container(&args, DBUS_TYPE_ARRAY, "{sv}", &list);
            dbus_message_iter_close_container(&args, &list);
            dbus_message_iter_append_basic(&args, DBUS_TYPE_INT32, &timeout);
            dbus_connection_send(bus, call, nullptr);
            dbus_connection_flush(bus);
            dbus_message_unref(call);
        }
    }
    dbus_error_free(&error);
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
}
} // namespace

void show_tray_notification(juce::SystemTrayIconComponent&, const juce::String& title,
                            const juce::String& text)
{
    const auto address = session_bus_address();
    if (address.empty()) return;
    // Any text is sent as valid UTF-8: libdbus aborts on anything else.
    auto utf8 = [](const juce::String& s) { return s.toStdString(); };
    std::thread(notify, address,
                utf8(juce::JUCEApplicationBase::getInstance() != nullptr
                         ? juce::JUCEApplicationBase::getInstance()->getApplicationName()
                         : juce::String("rx40panel")),
                utf8(program_file("\\icon.png").getFullPathName()), utf8(title), utf8(text))
        .detach();
}
} // namespace platform
