#include "skin/skin_controls.h"
#include "skin/image_root.h"

skin_toggle::skin_toggle(const juce::String& folder)
{
    setClickingTogglesState(true);
    if (folder.isNotEmpty()) set_folder(folder);
    setLookAndFeel(&look);
}

skin_toggle::~skin_toggle()
{
    setLookAndFeel(nullptr);
}

void skin_toggle::set_folder(const juce::String& folder)
{
    set_images(folder + "3.png", folder + "4.png", folder + "2.png", folder + "1.png");
}

void skin_toggle::set_images(const juce::String& over, const juce::String& on, const juce::String& normal,
                             const juce::String& disabled)
{
    look.set_images(over, on, normal, disabled);
    repaint();
}

void skin_toggle::set_single_image(const juce::String& subPath)
{
    look.set_images(subPath, subPath, subPath, subPath);
    repaint();
}

skin_push::skin_push(const juce::String& folder)
{
    setClickingTogglesState(true);
    look.set_images(folder + "3.png", folder + "4.png", folder + "2.png", folder + "1.png");
    setLookAndFeel(&look);
}

skin_push::~skin_push()
{
    setLookAndFeel(nullptr);
}

void skin_picture::show(const juce::String& subPath)
{
    if (subPath == current) return;
    current = subPath;
    const auto img = skin::image(subPath);
    setImages(false, false, false, img, 1.0f, {}, img, 1.0f, {}, img, 1.0f, {});
}
