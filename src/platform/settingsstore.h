#pragma once

#include <memory>
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
    // Writes the text and puts the store on disk at once, so a crash loses nothing.
    void WriteValue(std::string_view key, std::string_view text);

private:
    QSettings& m_settings;
};

// Names of the stored settings.
namespace SettingKey {
inline constexpr std::string_view TaskFile = "taskfile";
inline constexpr std::string_view Poll = "poll";
inline constexpr std::string_view Sound = "sound";
inline constexpr std::string_view Startup = "startup";
inline constexpr std::string_view Version = "ver";
inline constexpr std::string_view Dim = "dim";
}  // namespace SettingKey

// The polling interval used and written back when none is stored.
inline constexpr std::string_view kDefaultPollText = "90";

// Start-up mode codes as stored in "startup"; any other value means a normal window.
inline constexpr int kStartupMinimized = 1;
inline constexpr int kStartupHidden = 2;
inline constexpr int kStartupNormal = 3;
inline constexpr int kStartupDefault = 1044;  // what a missing "startup" loads as

// The settings as the main window holds them after LoadSettings.
struct LoadedSettings {
    int nPollSeconds = 90;
    int bSound = 1;
    int nStartupMode = kStartupDefault;  // "Normal" radio id, used when nothing is stored
    std::string taskFilePath;

    bool operator==(const LoadedSettings&) const = default;
};

// Reads every setting and writes back the defaults of missing ones and "2.0" as the version.
// The task file's path is moduleDir followed by the stored name; start-up decides when the
// program starts using it.
LoadedSettings LoadSettings(CSettingsStore& store, const std::string& moduleDir);

// The program's own store: on Linux the INI file
// "$XDG_CONFIG_HOME/Marmoset Task/marmoset-task.ini" (~/.config when the variable is unset),
// on Windows the user's registry.
std::unique_ptr<QSettings> OpenProgramSettings();
