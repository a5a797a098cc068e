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

std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* owner, const char* filter) {
    auto dialog = std::make_unique<QFileDialog>(owner);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(QString::fromUtf8(filter));
    dialog->setDefaultSuffix(QStringLiteral("txt"));
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    return dialog;
}

}  // namespace

QString WithDefaultSuffix(const QString& path) {
    return QFileInfo(path).suffix().isEmpty() && !path.endsWith(u'.') ? path + QStringLiteral(".txt") : path;
}

QtFileDialogs::QtFileDialogs(QWidget* owner) : owner_(owner) {}

QtFileDialogs::~QtFileDialogs() = default;

QFileDialog& QtFileDialogs::Made(std::unique_ptr<QFileDialog>& dialog, Maker make, const char* filter) {
    if (!dialog) dialog = make(owner_, filter);
    return *dialog;
}

std::optional<QString> QtFileDialogs::Run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtFileDialogs::OpenSettings() {
    return Run(Made(open_settings_, MakeOpenDialog, kSettingsFilter));
}

std::optional<QString> QtFileDialogs::SaveSettings() {
    const auto chosen = Run(Made(save_settings_, MakeSaveDialog, kSettingsFilter));
    if (!chosen) return chosen;
    return WithDefaultSuffix(*chosen);
}

std::optional<QString> QtFileDialogs::OpenFirmware() {
    return Run(Made(open_firmware_, MakeOpenDialog, kFirmwareFilter));
}

int QtFileDialogs::DialogsMade() const {
    return static_cast<int>(open_settings_ != nullptr) + static_cast<int>(save_settings_ != nullptr) +
           static_cast<int>(open_firmware_ != nullptr);
}

}  // namespace nkq::ui
