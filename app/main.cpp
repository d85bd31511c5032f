#include "app/plugin_host_app.h"
#include "app/remote_control.h"
#include "platform/program_arguments.h"

JUCE_CREATE_APPLICATION_DEFINE(PluginHostApp)

// A start with arguments is a command for the running copy: it never opens a window, and does its
// work before the framework's windowing starts.
extern "C" JUCE_MAIN_FUNCTION
{
    const auto args = platform::program_arguments(JUCE_MAIN_FUNCTION_ARGS);
    if (!args.isEmpty())
    {
        platform::attach_parent_console();
        return run_command_line(PluginHostApp::application_name(), args);
    }
    juce::JUCEApplicationBase::createInstance = &juce_CreateApplication;
    return juce::JUCEApplicationBase::main(JUCE_MAIN_FUNCTION_ARGS);
}
