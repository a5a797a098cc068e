#include "ui/TStateForm.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "operations/ServerStatus.h"
#include "ui/TApplication.h"
#include "ui/WindowFonts.h"

namespace nkq::ui {

TStateForm::TStateForm(TCustomComPort& port, Operator& op, QWidget* parent)
    : QDialog(parent),
      cycle_(port, op, [this](const std::string& text) { ShowText(text); }),
      RzMemo1(new QPlainTextEdit(this)),
      ExitButton(new QPushButton(QStringLiteral("Закрыть"), this)),
      Timer1(new QTimer(this)) {
    setObjectName(QStringLiteral("StateForm"));
    setWindowTitle(QStringLiteral("Текущие подключения"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(313, 222);
    setFont(WindowFont());

    RzMemo1->setObjectName(QStringLiteral("RzMemo1"));
    RzMemo1->setGeometry(8, 8, 297, 169);
    RzMemo1->setFont(FixedFont());
    RzMemo1->setPlainText(QString::fromUtf8(kStatusInitialText));

    ExitButton->setObjectName(QStringLiteral("ExitButton"));
    ExitButton->setGeometry(119, 187, 75, 25);
    connect(ExitButton, &QPushButton::clicked, this, &QDialog::accept);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);  // restarted after each poll, so polls never overlap
    Timer1->setInterval(static_cast<int>(cycle_.Interval().count()));
    connect(Timer1, &QTimer::timeout, this, &TStateForm::Timer1Timer);
}

TStateForm::~TStateForm() = default;

void TStateForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        cycle_.Opened();
        FollowCycle();
    }
}

void TStateForm::done(int result) {
    cycle_.Closed();
    FollowCycle();
    QDialog::done(result);
}

void TStateForm::Timer1Timer() {
    ui::TApplication::Guarded([this] { cycle_.TimerFired(); });
    FollowCycle();
}

void TStateForm::FollowCycle() {
    if (cycle_.TimerRunning())
        Timer1->start();  // a full interval from now
    else
        Timer1->stop();
}

void TStateForm::ShowText(const std::string& text) {
    QString lines = QString::fromUtf8(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    RzMemo1->setPlainText(lines);
}

}  // namespace nkq::ui
