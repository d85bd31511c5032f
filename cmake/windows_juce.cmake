# The framework's modules for Windows, once, in one static library. Debian's framework leaves out
# its bundled zlib, libpng, libjpeg, FLAC and Ogg Vorbis: they come from the dependency prefix.
set(RX40_DEPS_LIBS FLAC vorbisenc vorbisfile vorbis ogg png16 jpeg z)
set(RX40_WIN_SYSTEM_LIBS uuid wsock32 wininet version ole32 ws2_32 oleaut32 imm32 comdlg32 shlwapi
    rpcrt4 winmm dxgi crypt32 ssp)
add_library(juce_shared STATIC)
target_link_libraries(juce_shared
  PRIVATE juce::juce_core juce::juce_events juce::juce_data_structures juce::juce_graphics
          juce::juce_gui_basics juce::juce_gui_extra juce::juce_audio_basics juce::juce_audio_devices
          juce::juce_audio_formats juce::juce_audio_processors juce::juce_audio_utils
  PUBLIC juce::juce_recommended_config_flags ${RX40_DEPS_LIBS} ${RX40_WIN_SYSTEM_LIBS}
         -static -static-libgcc -static-libstdc++)
target_compile_definitions(juce_shared PUBLIC
  JUCE_WEB_BROWSER=0 JUCE_USE_CURL=0 JUCE_USE_OGGVORBIS=0 JUCE_JACK=0 JUCE_DIRECTSOUND=1 JUCE_WASAPI=1
  JUCE_DISPLAY_SPLASH_SCREEN=0 JUCE_MODAL_LOOPS_PERMITTED=1 JUCE_STANDALONE_APPLICATION=1
  JUCE_PLUGINHOST_VST3=0 JUCE_PLUGINHOST_LADSPA=0 FLAC__NO_DLL
  INTERFACE $<TARGET_PROPERTY:juce_shared,COMPILE_DEFINITIONS>)
target_include_directories(juce_shared PUBLIC ${RX40_WINDOWS_DEPS}/include
  INTERFACE $<TARGET_PROPERTY:juce_shared,INCLUDE_DIRECTORIES>)
target_link_directories(juce_shared PUBLIC ${RX40_WINDOWS_DEPS}/lib)
target_compile_options(juce_shared PRIVATE -w -Wa,-mbig-obj)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # 32-bit MinGW: the framework specialises its COM UUID getter outside its namespace, which
  # g++ accepts only with -fpermissive (the 64-bit headers take another path).
  target_compile_options(juce_shared PRIVATE -fpermissive -include ${CMAKE_CURRENT_LIST_DIR}/juce_mingw32_fixes.h)
endif()
