#include "ui/WindowOperator.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/ApplicationTitle.h"
#include "ui/ModelText.h"
#include "ui/TInformDialog.h"
#include "ui/TProgressBar.h"

namespace nkq::ui {

QString ApplicationTitleText() { return QString::fromUtf8(kApplicationTitle); }

void WindowOperator::InformOperator(const std::string& text) {
    const CursorOverride before = cursor_;
    ApplyCursor(CursorOverride::None);
    const unsigned changes = cursor_changes_;
    ShowInformation(FromMessage(text));
    // Someone who changed the override meanwhile had the last word; the
    // message then leaves no override behind.
    ApplyCursor(changes == cursor_changes_ ? before : CursorOverride::None);
}

bool WindowOperator::AskYesNo(const std::string& text, const std::string& caption) {
    return AskQuestion(FromMessage(text), FromMessage(caption));
}

void WindowOperator::SetCursorOverride(CursorOverride cursor) {
    ++cursor_changes_;
    ApplyCursor(cursor);
}

void WindowOperator::ApplyCursor(CursorOverride cursor) {
    cursor_ = cursor;
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    if (cursor == CursorOverride::Hourglass) QApplication::setOverrideCursor(Qt::WaitCursor);
    if (cursor == CursorOverride::Arrow) QApplication::setOverrideCursor(Qt::ArrowCursor);
}

void WindowOperator::ProcessPendingEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void WindowOperator::ShowProgress(bool visible) {
    if (progress_) progress_->setVisible(visible);
}

void WindowOperator::SetProgressTotal(int total) {
    if (progress_) progress_->SetTotal(total);
}

void WindowOperator::SetProgressCompleted(int completed) {
    if (progress_) progress_->SetCompleted(completed);
}

void WindowOperator::AdvanceProgress() {
    if (progress_) progress_->Advance();
}

void WindowOperator::ShowInformation(const QString& text) {
    TInformDialog dialog(ApplicationTitleText(), text);
    dialog.exec();
}

bool WindowOperator::AskQuestion(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
}

void WindowOperator::ShowError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, ApplicationTitleText(), text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace nkq::ui
