#include "ui/QSettingsFileNameStore.h"

#include <QFile>
#include <QMetaType>
#include <QSettings>
#include <QString>
#include <QVariant>

#include "app/Failure.h"
#ifdef Q_OS_WIN
#include "firmware/RegistryFileNameStore.h"
#endif

namespace nkq {

namespace {

constexpr const char* kOrganisation = "Orvenik";
constexpr const char* kValueName = "FileName";

}  // namespace

// QSettings opens lazily; holding it here keeps Qt out of the header.
struct QSettingsFileNameStore::Settings {
    std::unique_ptr<QSettings> store;
};

QSettingsFileNameStore::QSettingsFileNameStore() : settings_(std::make_unique<Settings>()) {
    settings_->store = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                   QString::fromLatin1(kOrganisation), QString());
}

QSettingsFileNameStore::QSettingsFileNameStore(const std::string& settings_file)
    : settings_(std::make_unique<Settings>()) {
    // The native form on Linux is this INI form; naming the format keeps the
    // file a file on Windows too, where the native form is the registry.
    settings_->store =
        std::make_unique<QSettings>(QFile::decodeName(settings_file.c_str()), QSettings::IniFormat);
}

QSettingsFileNameStore::~QSettingsFileNameStore() = default;

std::string QSettingsFileNameStore::LoadFileName() {
    QSettings& store = *settings_->store;
    store.sync();  // picks up what another instance wrote since
    if (store.status() != QSettings::NoError) throw RegistryReadError(kValueName);
    const QVariant value = store.value(QString::fromLatin1(kValueName));
    if (!value.isValid()) return {};  // nothing stored yet; the store appears with the first save
    if (value.typeId() != QMetaType::QString) throw InvalidRegistryTypeError(kValueName);
    // A path goes back as the platform's bytes, not as modem text.
    return QFile::encodeName(value.toString()).toStdString();
}

void QSettingsFileNameStore::SaveFileName(const std::string& file_name) {
    QSettings& store = *settings_->store;
    store.setValue(QString::fromLatin1(kValueName), QFile::decodeName(file_name.c_str()));
    store.sync();
    if (store.status() != QSettings::NoError) throw RegistryWriteError(kValueName);
}

std::string QSettingsFileNameStore::Location() const {
    return QFile::encodeName(settings_->store->fileName()).toStdString();
}

std::unique_ptr<FileNameStore> UserFileNameStore() {
#ifdef Q_OS_WIN
    return std::make_unique<RegistryFileNameStore>();
#else
    return std::make_unique<QSettingsFileNameStore>();
#endif
}

}  // namespace nkq
