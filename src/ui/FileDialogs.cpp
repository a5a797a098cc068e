#include "ui/FileDialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>

namespace nkq::ui {

namespace {

std::unique_ptr<QFileDialog> MakeOpenDialog(QWidget* owner, const char* filter) {
    auto dialog = std::make_unique<QFileDialog>(owner);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilter(QString::fromUtf8(filter));
    return dialog;
}

std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* owner, const char* filter, const QString& suffix) {
    auto dialog = std::make_unique<QFileDialog>(owner);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(QString::fromUtf8(filter));
    dialog->setDefaultSuffix(suffix);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    return dialog;
}

std::unique_ptr<QFileDialog> MakeSettingsSaveDialog(QWidget* owner, const char* filter) {
    return MakeSaveDialog(owner, filter, QStringLiteral("txt"));
}

std::unique_ptr<QFileDialog> MakeCsvSaveDialog(QWidget* owner, const char* filter) {
    return MakeSaveDialog(owner, filter, QStringLiteral("csv"));
}

// The list of names matching what was typed belongs to the dialog, but the
// folder it completes from is read in the background and may arrive after
// the dialog has closed; the list then opened over the main window and
// swallowed its keys and first click. Here it never shows without the dialog.
class CompletionGuard : public QObject {
public:
    CompletionGuard(QFileDialog& dialog, QWidget& popup) : QObject(&popup), dialog_(dialog), popup_(popup) {
        popup.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && !dialog_.isVisible())
            QTimer::singleShot(0, &popup_, [popup = &popup_] { popup->hide(); });
        return false;
    }

private:
    QFileDialog& dialog_;
    QWidget& popup_;
};

void GuardCompletions(QFileDialog& dialog) {
    for (QCompleter* completer : dialog.findChildren<QCompleter*>())
        new CompletionGuard(dialog, *completer->popup());
}

// Whatever popup the dialog left (its completion list, a list of a combo box)
// goes with it.
void ClosePopupsOf(QFileDialog& dialog) {
    for (QCompleter* completer : dialog.findChildren<QCompleter*>()) completer->popup()->hide();
    for (int guard = 0; guard < 8; ++guard) {
        QWidget* popup = QApplication::activePopupWidget();
        if (!popup) break;
        popup->close();
    }
}

}  // namespace

QString WithDefaultSuffix(const QString& path, const QString& suffix) {
    return QFileInfo(path).suffix().isEmpty() && !path.endsWith(u'.') ? path + u'.' + suffix : path;
}

QtFileDialogs::QtFileDialogs(QWidget* owner) : owner_(owner) {}

QtFileDialogs::~QtFileDialogs() = default;

QFileDialog& QtFileDialogs::Made(std::unique_ptr<QFileDialog>& dialog, Maker make, const char* filter) {
    if (!dialog) {
        dialog = make(owner_, filter);
        GuardCompletions(*dialog);
    }
    return *dialog;
}

std::optional<QString> QtFileDialogs::Run(QFileDialog& dialog) {
    const int result = dialog.exec();
    ClosePopupsOf(dialog);
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtFileDialogs::RunSave(QFileDialog& dialog) {
    const auto chosen = Run(dialog);
    if (!chosen) return chosen;
    return WithDefaultSuffix(*chosen, dialog.defaultSuffix());
}

std::optional<QString> QtFileDialogs::OpenSettings() {
    return Run(Made(open_settings_, MakeOpenDialog, kSettingsFilter));
}

std::optional<QString> QtFileDialogs::SaveSettings() {
    return RunSave(Made(save_settings_, MakeSettingsSaveDialog, kSettingsFilter));
}

std::optional<QString> QtFileDialogs::OpenFirmware() {
    return Run(Made(open_firmware_, MakeOpenDialog, kFirmwareFilter));
}

std::optional<QString> QtFileDialogs::SaveJournal() {
    return RunSave(Made(save_journal_, MakeCsvSaveDialog, kCsvFilter));
}

int QtFileDialogs::DialogsMade() const {
    return static_cast<int>(open_settings_ != nullptr) + static_cast<int>(save_settings_ != nullptr) +
           static_cast<int>(open_firmware_ != nullptr);
}

}  // namespace nkq::ui
