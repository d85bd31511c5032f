#pragma once
#include "app/command_channel.h"
#include "app/panel_command.h"

class left_panel;

// The running copy's work for a later start's command, on the message thread, through the same
// code as the clicks. PAGE is null while there is no main page.
command_channel::answer run_panel_command(const panel_command& command, left_panel* page);

// The starting copy's side: --help and --version here, anything else through the running copy.
// Prints the answer and returns the exit status.
int run_command_line(const juce::String& appName, const juce::StringArray& args);
