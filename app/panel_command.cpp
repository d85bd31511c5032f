#include "app/panel_command.h"
#include "device/ui_para_fields.h"

namespace
{
// A plain decimal number of at most six digits, else -1.
int number_of(const juce::String& text)
{
    if (text.isEmpty() || text.length() > 6 || !text.containsOnly("0123456789")) return -1;
    return text.getIntValue();
}

panel_command fault(const juce::String& message)
{
    panel_command c;
    c.what = panel_command::invalid;
    c.error = message;
    return c;
}
} // namespace

panel_command panel_command::parse(const juce::StringArray& args)
{
    panel_command c;
    if (args.isEmpty()) return c;
    const auto& word = args[0];
    const int extra = args.size() - 1;
    auto exactly = [&](int count, const char* form) -> bool
    {
        if (extra == count) return true;
        c = fault("usage: rx40panel " + juce::String(form));
        return false;
    };

    if (word == "--help" || word == "-h")
    {
        if (exactly(0, "--help")) c.what = help;
    }
    else if (word == "--version")
    {
        if (exactly(0, "--version")) c.what = version;
    }
    else if (word == "--status")
    {
        if (extra == 0 || (extra == 1 && args[1] == "--json"))
        {
            c.what = status;
            c.json = extra == 1;
        }
        else
            c = fault("usage: rx40panel --status [--json]");
    }
    else if (word == "--set")
    {
        if (extra == 0) return fault("usage: rx40panel --set NAME=VALUE ...");
        c.what = set;
        for (int i = 1; i < args.size(); ++i)
        {
            const auto& pair = args[i];
            const auto name = pair.upToFirstOccurrenceOf("=", false, false);
            const int index = pair.containsChar('=') ? ui_para_fields::index_of(name) : -1;
            if (index < 0) return fault("unknown field in '" + pair + "'");
            const auto& field = ui_para_fields::at(index);
            if (!field.writable) return fault(name + " is the device's own and cannot be set");
            const int value = number_of(pair.fromFirstOccurrenceOf("=", false, false));
            if (!field.allows(value)) return fault("the value of " + name + " must be " + field.values);
            c.sets.emplace_back(index, value);
        }
    }
    else if (word == "--mode")
    {
        if (!exactly(1, "--mode N")) return c;
        c.number = number_of(args[1]);
        if (c.number < 0 || c.number > 5) return fault("the mode must be 0-5");
        c.what = mode;
    }
    else if (word == "--mute")
    {
        if (!exactly(2, "--mute CHANNEL on|off|toggle")) return c;
        c.number = number_of(args[1]);
        if (c.number < 1 || c.number > 4) return fault("the channel must be 1-4");
        c.text = args[2];
        if (c.text != "on" && c.text != "off" && c.text != "toggle") return fault("say on, off or toggle");
        c.what = mute;
    }
    else if (word == "--preset")
    {
        if (!exactly(1, "--preset N|NAME")) return c;
        if (args[1].isEmpty()) return fault("the preset name is empty");
        c.number = number_of(args[1]);
        if (c.number == 0) return fault("presets count from 1");
        if (c.number < 0)
        {
            c.number = 0;
            c.text = args[1];
        }
        c.what = preset;
    }
    else if (word == "--play")
    {
        if (!exactly(1, "--play NAME")) return c;
        if (args[1].isEmpty()) return fault("the sound name is empty");
        c.text = args[1];
        c.what = play;
    }
    else if (word == "--stop-sounds")
    {
        if (exactly(0, "--stop-sounds")) c.what = stop_sounds;
    }
    else
        c = fault("unknown command: " + word + " (see rx40panel --help)");
    return c;
}

juce::String usage_text()
{
    return "usage: rx40panel [COMMAND]\n"
           "Without a command: start the panel, or show the running panel's window.\n"
           "A command goes to the running panel of this user, which answers here:\n"
           "  --status [--json]           the device, its battery, mode, volumes and mutes\n"
           "  --set NAME=VALUE ...        change fields of the device record in one step\n"
           "                              (volume1-4, mode, eqPreset, lightMode, ...)\n"
           "  --mode N                    effect mode 0-5, as a click on the quick page\n"
           "  --mute CHANNEL on|off|toggle  mute channel 1-4, or release it\n"
           "  --preset N|NAME             apply library entry N (from 1) or the first named NAME\n"
           "  --play NAME                 play a sound of the sound folder\n"
           "  --stop-sounds               stop playing\n"
           "  --help, --version\n"
           "Exit status: 0 done, 2 bad command or value, 3 no panel running, 4 no device connected.\n";
}
