#include "recorder/rec_panel.h"
#include "recorder/shared_audio_device.h"
#include "tests/alert_watch.h"
#include "tests/fake_devbridge.h"
#include <gtest/gtest.h>

TEST(recorder_page, without_an_audio_device_and_without_a_take)
{
    auto owner = std::make_unique<recPanel>();
    auto& page = *owner;
    juce::AudioDeviceManager::AudioDeviceSetup setup;
    shared_audio_device().getAudioDeviceSetup(setup);
    if (setup.inputDeviceName.isNotEmpty()) GTEST_SKIP() << "this machine has an audio device";
    EXPECT_FALSE(page.play_button().isEnabled());
    EXPECT_FALSE(page.pause_button().isEnabled());
    EXPECT_FALSE(page.save_button().isEnabled());

    alert_watch box;
    box.answer();
    page.record_button().triggerClick();
    pump_messages(300);
    EXPECT_EQ(box.seen, juce::String(juce::CharPointer_UTF8("提示. 录音模块打开声音设备失败!")));
    EXPECT_FALSE(page.recording());
    EXPECT_FALSE(page.record_button().getToggleState());
    EXPECT_TRUE(page.live_view().isVisible());

    // Saving without a take: the FLAC copy and the MP3 export both fail and leave nothing; a
    // file already at the chosen path stays as it was.
    juce::TemporaryFile flac(".flac"), mp3(".mp3"), existing(".flac");
    box.answer();
    page.save_to(flac.getFile().getFullPathName());
    EXPECT_EQ(box.seen, juce::String(juce::CharPointer_UTF8("消息. 保存失败!")));
    for (const auto& path : {existing.getFile(), existing.getFile().withFileExtension("mp3")})
    {
        path.replaceWithText("the user's own file");
        box.answer();
        page.save_to(path.getFullPathName());
        EXPECT_EQ(path.loadFileAsString(), "the user's own file") << path.getFileName();
        path.deleteFile();
    }
    box.answer();
    page.save_to(mp3.getFile().getFullPathName().dropLastCharacters(4)); // ".mp3" is added
    EXPECT_TRUE(box.seen.startsWith(juce::CharPointer_UTF8("错误. 保存mp3文件失败"))) << box.seen;
    EXPECT_FALSE(mp3.getFile().exists());
}
