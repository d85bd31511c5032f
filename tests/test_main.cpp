#include <dlfcn.h>
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // The framework loads the X libraries at run time and unloads them at exit; kept mapped,
    // their own caches show up by name in leak reports and can be told apart from ours.
    for (auto* name : {"libX11.so.6", "libXext.so.6", "libXcursor.so.1", "libXrandr.so.2", "libXinerama.so.1",
                       "libXrender.so.1", "libxcb.so.1", "libXfixes.so.3"})
        dlopen(name, RTLD_NOW | RTLD_NODELETE);
    // Counts as a standalone app so the framework installs its X error handlers, as in the panel.
    juce::JUCEApplicationBase::createInstance = []() -> juce::JUCEApplicationBase* { return nullptr; };
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
