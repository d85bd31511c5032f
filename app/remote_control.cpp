#include "app/remote_control.h"
#include "app/version_report.h"
#include "device/connected_model.h"
#include "device/ui_para_fields.h"
#include "pages/left_panel.h"
#include <cstdio>

namespace
{
bool device_connected(left_panel& page)
{
    return page.device_link().connection_state() == hard_panel::connected;
}

// The battery level of a connected wireless unit, else 0.
int battery_of(left_panel& page)
{
    if (!device_connected(page) || left_panel::model_kind() != 2) return 0;
    return battery_level(page.device_link().record().batteryVoltage);
}

command_channel::answer done(const juce::String& text = {})
{
    return {exit_status::ok, text};
}

command_channel::answer refused(int status, const juce::String& text)
{
    return {status, text};
}
// The one line of --status.
juce::String status_line(left_panel& page)
{
    if (!device_connected(page)) return "not connected";
    const auto& record = page.device_link().record();
    juce::StringArray items;
    items.add(connected_model() + " connected");
    if (const int level = battery_of(page)) items.add("battery " + juce::String(level) + "/6");
    const int mode = record.mode;
    items.add("mode " + juce::String(mode) +
              (mode <= 5 ? juce::String(" ") + hard_panel::mode_name(mode) : juce::String()));
    const uint8_t volumes[4] = {record.volume1, record.volume2, record.volume3, record.volume4};
    for (int channel = 1; channel <= 4; ++channel)
        items.add("volume" + juce::String(channel) + " " + juce::String(volumes[channel - 1]) +
                  (page.muted(channel) ? " muted" : ""));
    return items.joinIntoString(", ");
}

// The JSON object of --status --json.
juce::String status_json(left_panel& page)
{
    auto* object = new juce::DynamicObject();
    const juce::var result(object);
    const bool connected = device_connected(page);
    object->setProperty("connected", connected);
    object->setProperty("model", connected ? juce::var(connected_model()) : juce::var());
    const int level = battery_of(page);
    object->setProperty("battery", level > 0 ? juce::var(level) : juce::var());
    const auto& record = page.device_link().record();
    for (int i = 0; i < ui_para::size; ++i)
        object->setProperty(ui_para_fields::at(i).name, (int)record.bytes()[i]);
    return juce::JSON::toString(result, true);
}
} // namespace

command_channel::answer run_panel_command(const panel_command& command, left_panel* page)
{
    if (command.what == panel_command::invalid) return refused(exit_status::bad_request, command.error);
    if (page == nullptr) return refused(exit_status::failed, "the panel is not ready yet");
    if (command.needs_device() && !device_connected(*page))
        return refused(exit_status::no_device, "no device connected");

    switch (command.what)
    {
    case panel_command::status:
        return done(command.json ? status_json(*page) : status_line(*page));
    case panel_command::set:
    {
        juce::StringArray lines;
        for (int index : page->set_fields(command.sets))
            lines.add(juce::String(ui_para_fields::at(index).name) + "=" +
                      juce::String((int)page->device_link().record().bytes()[index]));
        return done(lines.joinIntoString("\n"));
    }
    case panel_command::mode:
        page->device_link().choose_mode(command.number);
        return done();
    case panel_command::mute:
        page->set_mute(command.number,
                       command.text == "toggle" ? !page->muted(command.number) : command.text == "on");
        return done();
    case panel_command::preset:
    {
        auto& library = page->library();
        if (left_panel::model_kind() == 2)
            return refused(exit_status::no_device,
                           "the effect library is not available for " + connected_model());
        const int index = command.number > 0 ? command.number - 1 : library.entry_named(command.text);
        if (!library.apply_entry(index))
            return refused(exit_status::bad_request,
                           command.number > 0
                               ? "there is no preset " + juce::String(command.number) + " (the library has " +
                                     juce::String(library.selector_presets().count()) + ")"
                               : "there is no preset named " + command.text);
        return done();
    }
    case panel_command::play:
        if (!page->sound_board().engine().play_pad(command.text))
            return refused(exit_status::bad_request, "there is no sound named " + command.text);
        return done();
    case panel_command::stop_sounds:
        page->sound_board().engine().player().stop();
        return done();
    case panel_command::help:
        return done(usage_text());
    case panel_command::version:
        return done(program_version());
    default:
        return done();
    }
}

int run_command_line(const juce::String& appName, const juce::StringArray& args)
{
    const auto command = panel_command::parse(args);
    command_channel::answer reply;
    if (command.what == panel_command::invalid)
        reply = {exit_status::bad_request, command.error};
    else if (command.what == panel_command::help)
        reply = {exit_status::ok, usage_text()};
    else if (command.what == panel_command::version)
        reply = {exit_status::ok, "rx40panel " + program_version()};
    else if (auto connection = platform::connect_to_running_copy(appName, 5000); connection == nullptr)
        reply = {exit_status::no_panel, "rx40panel is not running"};
    else
    {
        const auto request = command_channel::encode_request(args);
        if (!connection->write(request.data(), (int)request.size()) ||
            !command_channel::read_answer(*connection, reply, 30000))
            reply = {exit_status::failed, "the running panel did not answer"};
    }
    auto* out = reply.status == exit_status::ok ? stdout : stderr;
    if (reply.text.isNotEmpty())
    {
        const auto text = reply.text.trimEnd();
        std::fprintf(out, "%s\n", text.toRawUTF8());
    }
    std::fflush(out);
    return reply.status;
}
