#include "operations/RecordedRun.h"

#include "app/Cp1251.h"
#include "app/ErrorText.h"
#include "app/Failure.h"
#include "params/PasswordMask.h"

namespace nkq {

void RunRecord::KeepSecret(const std::string& value) {
    if (!value.empty()) secrets_.push_back(value);
}

std::string RunRecord::MaskedBytes(const std::string& text) const {
    return MaskPasswordLines(text, secrets_);
}

std::string RunRecord::MaskedText(const std::string& text) const {
    std::vector<std::string> both_forms = secrets_;
    for (const auto& secret : secrets_) both_forms.push_back(Cp1251ToUtf8(secret));
    return MaskPasswordLines(text, both_forms);
}

void RunRecord::AddMessage(const std::string& text) { record_->AddMessage(MaskedText(text)); }

void RunRecord::AddQuestion(const std::string& text, bool answer) {
    record_->AddQuestion(MaskedText(text), answer);
}

void RunRecord::ModemRead(const std::string& name, const std::string& device, const std::string& version,
                          const std::string& password) {
    KeepSecret(password);
    record_->ModemRead(name, device, version, password);
}

void RunRecord::AddExchange(const std::string& sent, const std::string& answer) {
    record_->AddExchange(MaskedBytes(sent), MaskedBytes(answer));
}

void RunRecord::PasswordSent(const std::string& value) {
    KeepSecret(value);
    record_->PasswordSent(value);
}

void MessageRecordingOperator::InformOperator(const std::string& text) {
    record_.AddMessage(text);
    Inner().InformOperator(text);
}

bool MessageRecordingOperator::AskYesNo(const std::string& text, const std::string& caption) {
    const bool answer = Inner().AskYesNo(text, caption);
    record_.AddQuestion(text, answer);
    return answer;
}

Outcome RecordFailure(OperationRecorder& record, const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const EAbort&) {
        return Outcome::Failed;
    } catch (const EOperationStopped& stopped) {
        record.AddMessage(ErrorDisplayText(stopped.Message()));
        return Outcome::Stopped;
    } catch (const Exception& other) {
        record.AddMessage(ErrorDisplayText(other.Message()));
    } catch (const std::exception& other) {
        record.AddMessage(ErrorDisplayText(other.what()));
    } catch (...) {
    }
    return Outcome::Failed;
}

}  // namespace nkq
