#pragma once

#include <optional>
#include <string>
#include <string_view>

class QSettings;

// The preferences kept between runs. Each setting is a text under
// "Software/Shareware/Quillnote/2.0/<key>" in a QSettings store (an INI file in the user's
// config folder on Linux). A read offers a buffer of a given size, as the program always
// has: a text that does not fit (bufferSize - 1 characters) counts as missing.
class CSettingsStore {
public:
    // Uses the given store; the store must outlive this object.
    explicit CSettingsStore(QSettings& settings);

    std::optional<std::string> ReadValue(std::string_view key, int bufferSize) const;
    void WriteValue(std::string_view key, std::string_view text);

private:
    QSettings& m_settings;
};

// The settings as the main window holds them after LoadSettings.
struct LoadedSettings {
    int nPollSeconds = 90;
    int bSound = 1;
    int nStartupMode = 1044;  // "Normal" radio id, used when nothing is stored
    std::string taskFilePath;

    bool operator==(const LoadedSettings&) const = default;
};

// Reads every setting, writes back the defaults of missing ones and "2.0" as the version,
// and sets g_szTaskFilePath to moduleDir followed by the task file name.
LoadedSettings LoadSettings(CSettingsStore& store, const std::string& moduleDir);

// The program's folder, always ending in a slash.
std::string GetModuleDirectory();
