#include "ui/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace nkq::ui {

namespace {

std::unique_ptr<QFileDialog> MakeOpenDialog(QWidget* owner, const char* filter) {
    auto dialog = std::make_unique<QFileDialog>(owner);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilter(QString::fromUtf8(filter));
    return dialog;
}

}  // namespace

QString WithDefaultSuffix(const QString& path) {
    return QFileInfo(path).suffix().isEmpty() && !path.endsWith(u'.') ? path + QStringLiteral(".txt") : path;
}

QtFileDialogs::QtFileDialogs(QWidget* owner)
    : open_settings_(MakeOpenDialog(owner, kSettingsFilter)),
      save_settings_(std::make_unique<QFileDialog>(owner)),
      open_firmware_(MakeOpenDialog(owner, kFirmwareFilter)) {
    save_settings_->setAcceptMode(QFileDialog::AcceptSave);
    save_settings_->setFileMode(QFileDialog::AnyFile);
    save_settings_->setNameFilter(QString::fromUtf8(kSettingsFilter));
    save_settings_->setDefaultSuffix(QStringLiteral("txt"));
    save_settings_->setOption(QFileDialog::DontConfirmOverwrite);
}

QtFileDialogs::~QtFileDialogs() = default;

std::optional<QString> QtFileDialogs::Run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtFileDialogs::OpenSettings() { return Run(*open_settings_); }

std::optional<QString> QtFileDialogs::SaveSettings() {
    const auto chosen = Run(*save_settings_);
    if (!chosen) return chosen;
    return WithDefaultSuffix(*chosen);
}

std::optional<QString> QtFileDialogs::OpenFirmware() { return Run(*open_firmware_); }

}  // namespace nkq::ui
