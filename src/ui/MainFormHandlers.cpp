// The main window's handlers and its mirroring of the parameter set. The
// handlers only hand over to the core operations.
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QWindow>

#include "app/ScopeExit.h"
#include "operations/FirmwareUpdate.h"
#include "operations/ReadParameters.h"
#include "operations/RecordedRun.h"
#include "operations/ServerStatus.h"
#include "operations/WriteParameters.h"
#include "params/SettingsFile.h"
#include "ui/JournalTexts.h"
#include "ui/MainForm.h"
#include "ui/TApplication.h"
#include "ui/TComComboBox.h"
#include "ui/TFieldCombo.h"
#include "ui/TFileNameEdit.h"
#include "ui/TJournalForm.h"
#include "ui/TProgressBar.h"
#include "ui/TRefreshButton.h"
#include "ui/TStateForm.h"
#include "ui/WindowPlacement.h"

namespace nkq::ui {

namespace {

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Keeps the port's other users away while an update holds it, and lets a
// close that came meanwhile happen once the update is over.
class FirmwareRun {
public:
    FirmwareRun(bool& running, std::function<void()> changed)
        : running_(running), changed_(std::move(changed)) {
        running_ = true;
        changed_();
    }
    ~FirmwareRun() {
        running_ = false;
        changed_();
    }
    FirmwareRun(const FirmwareRun&) = delete;
    FirmwareRun& operator=(const FirmwareRun&) = delete;

private:
    bool& running_;
    std::function<void()> changed_;
};

}  // namespace

void TMainForm::FormCreate() {
    TApplication::Guarded([this] {
        FileNameEdit->setText(QFile::decodeName(file_names_->LoadFileName().c_str()));
        parameters_.ApplyStartupRules();
    });
}

void TMainForm::Mirror(Item item) {
    const auto found = mirrors_.find(item);
    if (found != mirrors_.end()) found->second();
}

void TMainForm::MirrorRadios() {
    const Mode mode = parameters_.GetMode();
    QRadioButton* selected = mode == Mode::Client   ? ClientRadio
                             : mode == Mode::Server ? ServerRadio
                                                    : ModemRadio;
    selected->setChecked(true);
}

// While an update runs, everything that would talk to the port or open a
// modal dialog is disabled: the upload processes the window's events between
// packets, and a dialog opened there would hold the transfer until it closed.
void TMainForm::ApplyBusyState() {
    const bool free = !firmware_running_;
    ShowStateButton->setEnabled(parameters_.ShowStateEnabled() && free);
    for (QWidget* control :
         std::initializer_list<QWidget*>{ConnectButton, WriteButton, LoadButton, SaveButton, ComComboBox1,
                                         RzBmpButton1, FileNameEdit->Button()})
        control->setEnabled(free);
    WriteFirmwareButton->setEnabled(firmware_button_enabled_ && free);
}

void TMainForm::EnableFirmwareButton(bool flag) {
    firmware_button_enabled_ = flag;
    ApplyBusyState();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (firmware_running_) {
        // Closing now would close the port under the transfer.
        close_requested_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TMainForm::ClientRadioClick() {
    if (ServerRadio->isChecked())
        parameters_.SelectMode(Mode::Server);
    else if (ClientRadio->isChecked())
        parameters_.SelectMode(Mode::Client);
    else if (ModemRadio->isChecked())
        parameters_.SelectMode(Mode::Modem);
}

void TMainForm::ParityCheckBoxClick() { parameters_.SetParityUsed(ParityCheckBox->isChecked()); }

template <typename Body>
void TMainForm::RunRecorded(OperationKind kind, Body&& body) {
    try {
        nkq::RunRecorded(*journal_, com_port_.Port(), kind, *op_, std::forward<Body>(body));
    } catch (const std::exception& failure) {
        TApplication::ReportFailure(failure);
    }
    TellJournalFailure();
}

void TMainForm::TellJournalFailure() {
    if (journal_failure_told_) return;
    const auto reason = journal_->Failure();
    if (!reason) return;
    journal_failure_told_ = true;
    op_->InformOperator(kJournalUnavailable + *reason);
}

void TMainForm::ShowJournal() {
    if (!journal_form_)
        journal_form_ = new TJournalForm(
            journal_->Path(), [this] { return dialogs_->SaveJournal(); }, this);
    journal_form_->Reload();
    journal_form_->show();
    journal_form_->raise();
    journal_form_->activateWindow();
}

void TMainForm::PlaceWindow() {
    placed_with_ = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    PlaceOnScreen(*this, *placed_with_);
}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!placed_with_) PlaceWindow();
}

bool TMainForm::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // The desktop frames the window once it is up, and tells its frame only
    // then: place it again, frame and all.
    const auto type = event->type();
    if (placed_with_ && windowHandle() &&
        (type == QEvent::Paint || type == QEvent::WindowActivate || type == QEvent::Move) &&
        windowHandle()->frameMargins() != *placed_with_)
        PlaceWindow();
    return handled;
}

template <typename Operation>
void TMainForm::RunParameterOperation(OperationKind kind, Operation&& operation) {
    RunRecorded(kind, [&](Operator& op, RunRecord& record) {
        ParameterSession session{com_port_, parameters_, op, {}, {}, &record};
        const ScopeExit keep_reply([&] { answer_ = session.FAnswer; });
        operation(session);
        return Outcome::Succeeded;
    });
}

void TMainForm::ConnectButtonClick() {
    RunParameterOperation(OperationKind::Read, [](ParameterSession& s) { ReadModemParameters(s); });
}

void TMainForm::WriteButtonClick() {
    RunParameterOperation(OperationKind::Write, [](ParameterSession& s) { WriteModemParameters(s); });
}

void TMainForm::N2Click() {
    const auto path = dialogs_->OpenSettings();
    if (!path) return;
    RunRecorded(OperationKind::Load, [&](Operator&, RunRecord& record) {
        record.SetSettingsFile(PathBytes(*path));
        LoadSettingsFile(parameters_, PathBytes(*path));
        return Outcome::Succeeded;
    });
}

void TMainForm::N3Click() {
    const auto path = dialogs_->SaveSettings();
    if (!path) return;
    RunRecorded(OperationKind::Save, [&](Operator&, RunRecord& record) {
        record.SetSettingsFile(PathBytes(*path));
        SaveSettingsFile(parameters_, PathBytes(*path));
        return Outcome::Succeeded;
    });
}

void TMainForm::SpeedButton1Click() { ComComboBox1->Selector().Refresh(); }

void TMainForm::FileNameEditButtonClick() {
    if (const auto path = dialogs_->OpenFirmware()) {
        FileNameEdit->setText(*path);
        EnableFirmwareButton(true);
    }
}

void TMainForm::FileNameEditChange() { EnableFirmwareButton(!FileNameEdit->text().isEmpty()); }

void TMainForm::WriteFirmwareButtonClick() {
    if (firmware_running_) return;
    FirmwareRun run(firmware_running_, [this] {
        ApplyBusyState();
        if (!firmware_running_ && close_requested_)
            QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    });
    RunRecorded(OperationKind::Flash, [&](Operator& op, RunRecord& record) {
        FirmwareSession firmware{com_port_, op, *file_names_, PathBytes(FileNameEdit->text()), {}, &record};
        return OutcomeOf(UpdateFirmware(firmware));
    });
}

void TMainForm::ShowStateButtonClick() {
    RunRecorded(OperationKind::Status, [&](Operator& op, RunRecord&) {
        bool polls_succeeded = true;
        RunStatusSession(com_port_,
                         [&](TCustomComPort& port) { polls_succeeded = ShowServerState(port, op); });
        return polls_succeeded ? Outcome::Succeeded : Outcome::Failed;
    });
}

bool TMainForm::ShowServerState(TCustomComPort& port, Operator& op) {
    TStateForm form(port, op, this);
    form.exec();
    return !form.Cycle().PollFailed();
}

}  // namespace nkq::ui
