#include "skin/dialog_lookfeel.h"
#include "skin/image_looks.h"
#include <gtest/gtest.h>

TEST(skin_looks, title_bar_buttons_from_the_right)
{
    dialog_lookfeel look;
    juce::DocumentWindow window("t", juce::Colours::grey, 0, false);
    juce::TextButton minimise, maximise, close;
    struct
    {
        int height, width, closeX, maximiseX, minimiseX;
    } cases[] = {
        {34, 30, 1008 - 30 - 7, 1008 - 30 - 7 - 37 + 30 - 94, 1008 - 30 - 7 - 37 - 98}, // the main window
        {30, 27, 1008 - 27 - 6, 1008 - 27 - 6 - 33 + 27 - 94, 1008 - 27 - 6 - 33 - 98},
    };
    for (auto c : cases)
    {
        look.positionDocumentWindowButtons(window, 0, 0, 1008, c.height, &minimise, &maximise, &close, false);
        EXPECT_EQ(close.getBounds(), juce::Rectangle<int>(c.closeX, 0, c.width, c.height)) << c.height;
        EXPECT_EQ(maximise.getBounds(), juce::Rectangle<int>(c.maximiseX, 0, 94, c.height)) << c.height;
        EXPECT_EQ(minimise.getBounds(), juce::Rectangle<int>(c.minimiseX, 0, c.width, c.height)) << c.height;
    }
    // A missing button is skipped together with its step.
    look.positionDocumentWindowButtons(window, 0, 0, 1008, 34, &minimise, nullptr, &close, false);
    EXPECT_EQ(minimise.getX(), 1008 - 30 - 7 - 37);
}

TEST(skin_looks, slider_thumbs_and_pad_text)
{
    EXPECT_EQ(Linear_slider_look_v1().thumb_origin(60.0f), juce::Point<int>(54, 0));
    EXPECT_EQ(Linear_slider_look().thumb_origin(60.9f), juce::Point<int>(0, 54));
    EXPECT_EQ(Linear_slider_look_v5().thumb_origin(100.0f), juce::Point<int>(73, 0));
    // A 17-pixel pad button has its text moved 2 pixels down; a 34-pixel one does not.
    EXPECT_EQ(flat_btn_look2::text_area(71, 17, false, false).getY(), 4 + 2);
    EXPECT_EQ(flat_btn_look2::text_area(71, 34, false, false).getY(), 4);
}
