#include "app/plugin_host_app.h"
#include "app/locale_prompt.h"
#include "app/remote_control.h"
#include "device/devbridge_api.h"
#include "device/device_link_listener.h"
#include "device/ui_para.h"
#include "platform/display.h"
#include "platform/program_settings.h"
#include "platform/quit_signals.h"
#include "platform/repaint_pump.h"
#include "platform/ui_language.h"
#include "platform/user_settings.h"
#include <cstdio>

juce::String PluginHostApp::application_name()
{
    return platform::read_pset("profession", 0) == 1
               ? juce::String(juce::CharPointer_UTF8("Tavri控制面板PRO"))
               : juce::String(juce::CharPointer_UTF8("Tavri控制面板"));
}

PluginHostApp::PluginHostApp()
{
    // Diagnostic lines show as they happen, also when standard output is a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
}

juce::PropertiesFile::Options PluginHostApp::properties_options()
{
    juce::PropertiesFile::Options options;
    options.applicationName = "TAVRIRX4";
    options.filenameSuffix = "settings";
    options.osxLibrarySubFolder = "Preferences";
    options.folderName = platform::properties_folder_name();
    return options;
}

const juce::String PluginHostApp::getApplicationName()
{
    return application_name();
}

juce::ApplicationProperties* PluginHostApp::properties()
{
    auto* app = dynamic_cast<PluginHostApp*>(juce::JUCEApplication::getInstance());
    return app != nullptr ? app->appProperties.get() : nullptr;
}

void PluginHostApp::initialise(const juce::String&)
{
    if (const auto problem = platform::display_problem(); problem.isNotEmpty())
    {
        std::fprintf(stderr, "%s\n", problem.toRawUTF8());
        setApplicationReturnValue(1);
        quit();
        return;
    }
    singleInstance = std::make_unique<platform::single_instance>(
        getApplicationName(),
        [](platform::local_connection& connection) {
            command_channel::serve(connection,
                                   [](const juce::StringArray& args) { return answer_command(args); });
        });
    if (singleInstance->another_copy_runs())
    {
        // A bare second start: the running copy shows its window.
        if (run_command_line(getApplicationName(), {}) == exit_status::ok)
            std::printf("rx40panel runs already: its window is shown\n");
        quit();
        return;
    }

    device_parameter_lock();
    device_hooks().after_device_info = [] { locale_prompt(); };

    repaintPump = platform::start_repaint_pump();
    dialogLook.setUsingNativeAlertWindows(true);
    dialogLook.setDefaultSansSerifTypefaceName(juce::CharPointer_UTF8("微软雅黑"));
    juce::LookAndFeel::setDefaultLookAndFeel(&dialogLook);

    appProperties = std::make_unique<juce::ApplicationProperties>();
    appProperties->setStorageParameters(properties_options());

    mainWindow = std::make_unique<MainHostWindow>();
    mainWindow->setResizable(false, false);
    mainWindow->setTitleBarHeight(34);
    trayIcon = std::make_unique<mytrayicon>(mainWindow.get());
    main_hooks().battery_shown = [tray = trayIcon.get()](int level) { tray->show_battery(level); };
    if (const auto& problem = devbridge_api::process_binding().width_problem; problem.isNotEmpty())
        juce::AlertWindow::showMessageBoxAsync(juce::MessageBoxIconType::WarningIcon,
                                               platform::tr("提示", "Tip"), problem);

    platform::on_quit_request([this] { systemRequestedQuit(); });
}

void PluginHostApp::shutdown()
{
    singleInstance.reset();
    main_hooks().battery_shown = nullptr;
    trayIcon.reset(); // off the notification area first
    mainWindow.reset();
    repaintPump.reset();
    appProperties.reset();
    juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
}

void PluginHostApp::anotherInstanceStarted(const juce::String&)
{
    if (mainWindow != nullptr) mainWindow->setVisible(true);
}

command_channel::answer PluginHostApp::answer_command(const juce::StringArray& args)
{
    auto* app = dynamic_cast<PluginHostApp*>(juce::JUCEApplication::getInstance());
    const auto command = panel_command::parse(args);
    if (command.what == panel_command::show)
    {
        if (app != nullptr) app->anotherInstanceStarted({});
        return {};
    }
    auto* window = app != nullptr ? app->mainWindow.get() : nullptr;
    auto* panel = window != nullptr ? window->panel() : nullptr;
    return run_panel_command(command, panel != nullptr ? &panel->page() : nullptr);
}

void PluginHostApp::systemRequestedQuit()
{
    quit();
}
