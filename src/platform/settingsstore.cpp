#include "platform/settingsstore.h"

#include <QSettings>
#include <QStringList>

#include "tasks/taskline.h"

namespace {

constexpr const char* kKeyRoot = "Software/Shareware/Quillnote/2.0/";

constexpr int kTaskFileBuffer = 512;
constexpr int kNumberBuffer = 20;

constexpr std::string_view kDefaultTaskFile = "nkdat";
constexpr std::string_view kDefaultSound = "1";
constexpr std::string_view kVersion = "2.0";

QString FullKey(std::string_view key) {
    return QString::fromLatin1(kKeyRoot) +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

// A hand-edited INI line such as "dim=1,2,3,4" comes back from QSettings as a list; the
// program wrote it as one text, so it is read as one.
std::optional<QString> StoredText(const QVariant& value) {
    if (!value.isValid()) {
        return std::nullopt;
    }
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(','));
    }
    if (!value.canConvert<QString>()) {
        return std::nullopt;
    }
    return value.toString();
}

// Reads a number setting; a missing one gets its default, which is written back.
int ReadNumber(CSettingsStore& store, std::string_view key, std::string_view fallback) {
    if (const auto text = store.ReadValue(key, kNumberBuffer)) {
        return ParseInt(*text);
    }
    store.WriteValue(key, fallback);
    return ParseInt(fallback);
}

}  // namespace

CSettingsStore::CSettingsStore(QSettings& settings) : m_settings(settings) {}

std::optional<std::string> CSettingsStore::ReadValue(std::string_view key, int bufferSize) const {
    const auto text = StoredText(m_settings.value(FullKey(key)));
    if (!text) {
        return std::nullopt;
    }
    // The buffer holds bufferSize - 1 characters and the terminating zero.
    const auto characters = text->toUcs4().size();
    if (bufferSize <= 0 || characters > bufferSize - 1) {
        return std::nullopt;
    }
    return text->toStdString();
}

void CSettingsStore::WriteValue(std::string_view key, std::string_view text) {
    m_settings.setValue(FullKey(key),
                        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    m_settings.sync();
}

LoadedSettings LoadSettings(CSettingsStore& store, const std::string& moduleDir) {
    LoadedSettings loaded;

    std::string name;
    if (auto stored = store.ReadValue(SettingKey::TaskFile, kTaskFileBuffer)) {
        name = std::move(*stored);
    } else {
        name = kDefaultTaskFile;
        store.WriteValue(SettingKey::TaskFile, kDefaultTaskFile);
    }
    loaded.taskFilePath = moduleDir + name;

    loaded.nPollSeconds = ReadNumber(store, SettingKey::Poll, kDefaultPollText);
    loaded.bSound = ReadNumber(store, SettingKey::Sound, kDefaultSound);
    if (const auto text = store.ReadValue(SettingKey::Startup, kNumberBuffer)) {
        loaded.nStartupMode = ParseInt(*text);
    } else {
        loaded.nStartupMode = kStartupDefault;
    }

    // Written when it is not in place yet: a start that finds every setting stored writes
    // nothing, and so waits for no disk.
    if (store.ReadValue(SettingKey::Version, kNumberBuffer) != kVersion) {
        store.WriteValue(SettingKey::Version, kVersion);
    }
    return loaded;
}

std::unique_ptr<QSettings> OpenProgramSettings() {
#ifdef Q_OS_WIN
    constexpr auto format = QSettings::NativeFormat;
#else
    constexpr auto format = QSettings::IniFormat;
#endif
    return std::make_unique<QSettings>(format, QSettings::UserScope,
                                       QStringLiteral("Marmoset Task"),
                                       QStringLiteral("marmoset-task"));
}
