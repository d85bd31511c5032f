#pragma once
#include <juce_core/juce_core.h>

// Converts the take's WAV file to MP3 through the encoder library beside the executable
// ("mp3.dll" on Windows, "mp3.so" here), appending its report to "\log.log". 0 on success,
// -1 on failure (no library, a missing entry point, a rejected configuration, an output that
// could not be written whole).
int export_mp3(const juce::String& inputPath, const juce::String& outputPath);
juce::File mp3_encoder_file();
juce::File export_log_file();
