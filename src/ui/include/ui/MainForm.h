#pragma once
// The main window. It shows the parameter set, one control per item, keeps
// the controls and the set in step both ways, and starts each operation from
// its button; the operations themselves live in the core.
#include <QMargins>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "app/OperationRecorder.h"
#include "firmware/FileNameStore.h"
#include "journal/WorkJournal.h"
#include "operations/ParameterSession.h"
#include "params/ParameterSet.h"
#include "serial/ComPort.h"
#include "serial/PortList.h"
#include "ui/FileDialogs.h"
#include "ui/WindowOperator.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QCheckBox;

namespace nkq::ui {

class TComComboBox;
class TFieldCombo;
class TFileNameEdit;
class TJournalForm;
class TLevelMeter;
class TProgressBar;
class TRefreshButton;

// What the window is built with; empty parts get the desktop's own.
struct MainFormParts {
    std::unique_ptr<WindowOperator> op;
    std::unique_ptr<FileDialogs> dialogs;
    std::unique_ptr<FileNameStore> file_names;
    TPortListRoots port_roots;
    // Where the window records its operations; by default where the
    // environment says (NKQ_JOURNAL, or the user's data folder).
    std::unique_ptr<journal::WorkJournal> journal;
};

class TMainForm : public QWidget {
    Q_OBJECT
public:
    // Builds every control; a port list that cannot be read fails here.
    explicit TMainForm(MainFormParts parts = {});
    ~TMainForm() override;

    // The creation handler: remembered file name, parity and mode rules,
    // model text. A failure goes to the error display and skips the rest.
    void FormCreate();

    TComPort& ComPort() { return com_port_; }
    ParameterSet& Parameters() { return parameters_; }
    WindowOperator& Op() { return *op_; }
    const std::string& FAnswer() const { return answer_; }
    bool FirmwareUpdateRunning() const { return firmware_running_; }

    // The handlers, named after their controls and events; each hands over
    // to a core operation.
    void ConnectButtonClick();
    void WriteButtonClick();
    void N2Click();
    void N3Click();
    void ShowStateButtonClick();
    void SpeedButton1Click();
    void FileNameEditButtonClick();
    void FileNameEditChange();
    void WriteFirmwareButtonClick();
    void ClientRadioClick();
    void ParityCheckBoxClick();

    void EnableFirmwareButton(bool flag);

    // The read-only journal window (Ctrl+J), made at its first use.
    void ShowJournal();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void BuildModelGroup();
    void BuildComGroup();
    void BuildModeGroup();
    void BuildModeAddressRows(QGroupBox* group);
    void BuildCheckRows(QGroupBox* group);
    void BuildConnectGroup();
    void BuildGprsGroup();
    void BuildSettingsGroup();
    void BuildUpdateGroup();
    QPushButton* AddButton(QWidget* parent, const char* name, const char* text, int y);
    template <typename Handler>
    void OnClick(QPushButton* button, Handler handler);

    void Mirror(Item item);
    void MirrorRadios();
    void ApplyBusyState();
    // Shows the status window on the session's port; false when a poll failed.
    bool ShowServerState(TCustomComPort& port, Operator& op);
    // Runs one operation of the window with its journal record; its failure
    // goes to the error display, and a journal that could not take the
    // record is told after it.
    template <typename Body>
    void RunRecorded(OperationKind kind, Body&& body);
    // Once per run: the journal has lost a record, and why.
    void TellJournalFailure();
    void PlaceWindow();
    // A read or write of the window's parameter set.
    template <typename Operation>
    void RunParameterOperation(OperationKind kind, Operation&& operation);

    // Declared first: everything below may use them while being built.
    std::unique_ptr<WindowOperator> op_;
    std::unique_ptr<FileDialogs> dialogs_;
    std::unique_ptr<FileNameStore> file_names_;
    std::unique_ptr<journal::WorkJournal> journal_;
    TComPort com_port_{TComPortSetup::System};
    ParameterSet parameters_;
    std::string answer_;  // the last trimmed reply of a command exchange
    TPortListRoots port_roots_;

    TLevelMeter* LevelMeter = nullptr;
    QLabel* ModelLabel = nullptr;
    TFieldCombo* FlowCombo = nullptr;
    QCheckBox* ParityCheckBox = nullptr;
    QRadioButton* ModemRadio = nullptr;
    QRadioButton* ClientRadio = nullptr;
    QRadioButton* ServerRadio = nullptr;
    TComComboBox* ComComboBox1 = nullptr;
    TRefreshButton* RzBmpButton1 = nullptr;
    QPushButton* ConnectButton = nullptr;
    QPushButton* WriteButton = nullptr;
    QPushButton* LoadButton = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* ShowStateButton = nullptr;
    TFileNameEdit* FileNameEdit = nullptr;
    QPushButton* WriteFirmwareButton = nullptr;
    TProgressBar* ProgressBar = nullptr;
    std::map<Item, std::function<void()>> mirrors_;
    TJournalForm* journal_form_ = nullptr;

    bool firmware_button_enabled_ = false;
    bool firmware_running_ = false;
    bool close_requested_ = false;
    bool journal_failure_told_ = false;
    // The title bar and borders the window was placed with; the desktop
    // tells them only once the window is up, and it is placed again then.
    std::optional<QMargins> placed_with_;
};

}  // namespace nkq::ui
