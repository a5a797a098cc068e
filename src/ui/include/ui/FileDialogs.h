#pragma once
// The window's file choosers behind one small interface, so a test can
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
    virtual std::optional<QString> SaveJournal() = 0;   // the journal window's CSV
};

inline constexpr const char* kSettingsFilter = "Настройки (*.txt);;Все файлы (*.*)";
inline constexpr const char* kFirmwareFilter = "Файлы программатора (*.mfw);;Все файлы (*.*)";
inline constexpr const char* kCsvFilter = "Таблицы CSV (*.csv);;Все файлы (*.*)";

// A name without an extension gets ".txt" (or `suffix`), as the save dialog
// promises.
QString WithDefaultSuffix(const QString& path, const QString& suffix = QStringLiteral("txt"));

// The desktop's file dialogs; each one remembers its folder between uses.
// A dialog is made when it is first opened and kept from then on: a file
// dialog starts reading its folder as soon as it exists, which costs the
// more memory and time the larger the folder the program was started from.
// A kept dialog's list of matching names is closed with it, whichever way
// it closes, and stays closed until the dialog is up again.
class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* owner);
    ~QtFileDialogs() override;

    std::optional<QString> OpenSettings() override;
    std::optional<QString> SaveSettings() override;
    std::optional<QString> OpenFirmware() override;
    std::optional<QString> SaveJournal() override;

    // How many of the settings and firmware dialogs exist so far.
    int DialogsMade() const;

private:
    using Maker = std::unique_ptr<QFileDialog> (*)(QWidget* owner, const char* filter);
    QFileDialog& Made(std::unique_ptr<QFileDialog>& dialog, Maker make, const char* filter);
    static std::optional<QString> RunSave(QFileDialog& dialog);
    static std::optional<QString> Run(QFileDialog& dialog);

    QWidget* owner_;

    std::unique_ptr<QFileDialog> open_settings_;
    std::unique_ptr<QFileDialog> save_settings_;
    std::unique_ptr<QFileDialog> open_firmware_;
    std::unique_ptr<QFileDialog> save_journal_;
};

}  // namespace nkq::ui
