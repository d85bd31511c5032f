#include "app/plugin_host_app.h"

START_JUCE_APPLICATION(PluginHostApp)
