// Prints the number of sample frames of each audio file given (WAV, FLAC), or -1 when it does
// not decode. For the end-to-end tests.
#include <juce_audio_formats/juce_audio_formats.h>

int main(int argc, char** argv)
{
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    for (int i = 1; i < argc; ++i)
    {
        std::unique_ptr<juce::AudioFormatReader> reader(formats.createReaderFor(juce::File(argv[i])));
        std::printf("%lld\n", reader != nullptr ? (long long)reader->lengthInSamples : -1LL);
    }
    return 0;
}
