// A desktop notification service for the tests: owns org.freedesktop.Notifications on the
// session bus and writes one line per Notify call, "APP|SUMMARY|BODY", to the file given.
#include <cstdio>
#include <dbus/dbus.h>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* bus = dbus_bus_get(DBUS_BUS_SESSION, &error);
    if (bus == nullptr) return 1;
    if (dbus_bus_request_name(bus, "org.freedesktop.Notifications", DBUS_NAME_FLAG_DO_NOT_QUEUE, &error) !=
        DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER)
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    dbus_uint32_t next = 1;
    while (dbus_connection_read_write(bus, -1))
        while (DBusMessage* m = dbus_connection_pop_message(bus))
        {
            if (dbus_message_is_method_call(m, "org.freedesktop.Notifications", "Notify"))
            {
                const char *app = "", *icon = "", *summary = "", *body = "";
                dbus_uint32_t replaces = 0;
                if (dbus_message_get_args(m, nullptr, DBUS_TYPE_STRING, &app, DBUS_TYPE_UINT32, &replaces,
                                          DBUS_TYPE_STRING, &icon, DBUS_TYPE_STRING, &summary,
                                          DBUS_TYPE_STRING, &body, DBUS_TYPE_INVALID))
                    if (FILE* f = std::fopen(argv[1], "a"))
                    {
                        std::fprintf(f, "%s|%s|%s\n", app, summary, body);
                        std::fclose(f);
                    }
                if (!dbus_message_get_no_reply(m))
                    if (DBusMessage* reply = dbus_message_new_method_return(m))
                    {
                        const dbus_uint32_t id = next++;
                        dbus_message_append_args(reply, DBUS_TYPE_UINT32, &id, DBUS_TYPE_INVALID);
                        dbus_connection_send(bus, reply, nullptr);
                        dbus_message_unref(reply);
                    }
            }
            dbus_message_unref(m);
        }
    return 0;
}
