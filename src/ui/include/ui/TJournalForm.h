#pragma once
// The work journal as the technician reads it: the operations newest first,
// with time, port, operation, model, result and messages, filterable to the
// failed ones and saved as CSV just as shown. It reads the journal through
// the journal library and never writes to it.
#include <QDialog>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "journal/OperationRecord.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace nkq::ui {

// The texts of one operation's row, in the order of the columns.
QStringList JournalRowTexts(const journal::OperationRecord& record);

class TJournalForm : public QDialog {
    Q_OBJECT
public:
    // `journal`: the file, nullopt when recording is off. `choose_csv` asks
    // where to save; nothing means the operator cancelled.
    TJournalForm(std::optional<std::filesystem::path> journal,
                 std::function<std::optional<QString>()> choose_csv, QWidget* parent = nullptr);

    // Reads the journal again and shows what the filter takes.
    void Reload();
    // Saves the rows shown as CSV; a failure goes to the error display.
    void ExportCsv();

    const std::vector<journal::OperationRecord>& Shown() const { return shown_; }

private:
    std::optional<std::filesystem::path> journal_;
    std::function<std::optional<QString>()> choose_csv_;
    std::vector<journal::OperationRecord> shown_;

    QTreeWidget* JournalList;
    QCheckBox* FailedOnlyCheckBox;
    QLabel* StateLabel;
    QPushButton* RefreshButton;
    QPushButton* ExportButton;
    QPushButton* CloseButton;
};

}  // namespace nkq::ui
