#pragma once
#include <juce_core/juce_core.h>

// The about box's text and the version report that the tray menu writes to the desktop.
juce::String about_text(bool english);
juce::String program_version(); // the first line of "current_version.txt", or empty

struct version_facts
{
    juce::String programVersion, driverVersion, versionText, systemName;
    bool is64 = true;
    const uint8_t* deviceInfo = nullptr; // 250 bytes: five 50-byte fields, or null
};
// The exact report text, CR LF line ends.
juce::String version_report_text(const version_facts& facts, bool english);
version_facts current_version_facts();
juce::File version_report_file(bool english);
// Writes the report and tells the user where it is, or that it could not be written.
void export_version_report();
