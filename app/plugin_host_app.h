#pragma once
#include "app/command_channel.h"
#include "app/main_host_window.h"
#include "app/mytrayicon.h"
#include "platform/single_instance.h"
#include "skin/dialog_lookfeel.h"
#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_basics/juce_gui_basics.h>

class PluginHostApp : public juce::JUCEApplication
{
  public:
    PluginHostApp();

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override { return "1.0.0"; }
    // One copy per user; where the framework's lock cannot guarantee that, our own does.
    // The framework's lock is machine-wide: our own per-user one does the job.
    bool moreThanOneInstanceAllowed() override { return true; }
    void initialise(const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted(const juce::String& commandLine) override;
    void systemRequestedQuit() override;
    void unhandledException(const std::exception*, const juce::String&, int) override {}

    MainHostWindow* window() { return mainWindow.get(); }
    // The per-user properties of the running application; null outside it.
    static juce::ApplicationProperties* properties();
    // Where the per-user properties file lives and how it is written.
    static juce::PropertiesFile::Options properties_options();

    // "Tavri控制面板PRO" when [pset] profession is 1, else "Tavri控制面板".
    static juce::String application_name();

    // A later start's command, on the message thread.
    static command_channel::answer answer_command(const juce::StringArray& args);

  private:
    std::unique_ptr<juce::ApplicationProperties> appProperties;
    dialog_lookfeel dialogLook;
    std::unique_ptr<MainHostWindow> mainWindow;
    std::unique_ptr<mytrayicon> trayIcon;
    std::unique_ptr<platform::single_instance> singleInstance;
    std::unique_ptr<juce::Timer> repaintPump; // where the system needs one (Wine)
};
