#include "device/connected_model.h"

namespace
{
juce::String& model_name()
{
    static juce::String name("KQ");
    return name;
}
} // namespace

juce::String connected_model()
{
    return model_name();
}
void set_connected_model(const juce::String& model)
{
    model_name() = model;
}
