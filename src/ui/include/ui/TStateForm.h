#pragma once
// The server status window: a modal window whose timer drives the status
// poll cycle and whose text box lists the modem's current connections.
#include <QDialog>

#include "operations/StatusPollCycle.h"

class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace nkq {
class Operator;
class TCustomComPort;
}  // namespace nkq

namespace nkq::ui {

class TStateForm : public QDialog {
    Q_OBJECT
public:
    // `port` is the open port of the status session; not owned.
    TStateForm(TCustomComPort& port, Operator& op, QWidget* parent = nullptr);
    ~TStateForm() override;

    QPlainTextEdit* Memo() const { return RzMemo1; }
    QTimer* Timer() const { return Timer1; }
    const StatusPollCycle& Cycle() const { return cycle_; }

    void Timer1Timer();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowText(const std::string& text);
    void FollowCycle();

    StatusPollCycle cycle_;
    QPlainTextEdit* RzMemo1;
    QPushButton* ExitButton;
    QTimer* Timer1;
};

}  // namespace nkq::ui
