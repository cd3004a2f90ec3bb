#pragma once
// Fills LauncherSettings from the launcher's configuration, once, at start.
#include <string>

#include "config/launcher_settings.h"
#include "config/layered_config.h"

namespace orvo {

// Reads the launcher's configuration into settings. False when the configuration
// cannot be located (the module-path box was shown if the launcher path failed),
// when it is too large to be read (which shows a box naming it) or when "Main
// Class" is missing, which shows "Main class was not specified in INI file.".
bool LoadSettings(LauncherSettings& settings);

// The reads of LoadSettings, in their fixed order, from the main configuration at
// configPath for the launcher at launcherPath. Returns false without any message
// when "Main Class" is empty; the settings after it then keep their values.
bool ReadSettingsFrom(const std::wstring& configPath, const std::wstring& launcherPath,
                      LauncherSettings& settings);
// The same from a reader already made (with the overlay it was given).
bool ReadSettingsFrom(const CLayeredConfig& config, const std::wstring& launcherPath, LauncherSettings& settings);

}  // namespace orvo
