#pragma once
// The window's three file choosers behind one small interface, so a test can
// answer them. Each returns the chosen path, or nothing when cancelled.
#include <QString>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace nkq::ui {

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<QString> OpenSettings() = 0;  // OpenDialog1
    virtual std::optional<QString> SaveSettings() = 0;  // SaveDialog1
    virtual std::optional<QString> OpenFirmware() = 0;  // RzOpenDialog
};

inline constexpr const char* kSettingsFilter = "Настройки (*.txt);;Все файлы (*.*)";
inline constexpr const char* kFirmwareFilter = "Файлы программатора (*.mfw);;Все файлы (*.*)";

// A name without an extension gets ".txt", as the save dialog promises.
QString WithDefaultSuffix(const QString& path);

// The desktop's file dialogs; each one remembers its folder between uses.
class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* owner);
    ~QtFileDialogs() override;

    std::optional<QString> OpenSettings() override;
    std::optional<QString> SaveSettings() override;
    std::optional<QString> OpenFirmware() override;

private:
    static std::optional<QString> Run(QFileDialog& dialog);

    std::unique_ptr<QFileDialog> open_settings_;
    std::unique_ptr<QFileDialog> save_settings_;
    std::unique_ptr<QFileDialog> open_firmware_;
};

}  // namespace nkq::ui
