#include "RecordingOperator.h"

namespace nkq::testing {

const char* CursorName(CursorOverride cursor) {
    switch (cursor) {
        case CursorOverride::None:
            return "none";
        case CursorOverride::Hourglass:
            return "hourglass";
        case CursorOverride::Arrow:
            return "arrow";
    }
    return "?";
}

void RecordingOperator::InformOperator(const std::string& text) { calls_.push_back("inform: " + text); }

bool RecordingOperator::AskYesNo(const std::string& text, const std::string& caption) {
    const bool yes = !answers_.empty() && answers_.front();
    if (!answers_.empty()) answers_.pop_front();
    calls_.push_back("ask: " + caption + ": " + text + " -> " + (yes ? "yes" : "no"));
    return yes;
}

void RecordingOperator::SetCursorOverride(CursorOverride cursor) {
    calls_.push_back(std::string("cursor: ") + CursorName(cursor));
}

void RecordingOperator::ProcessPendingEvents() {
    ++pending_event_passes;
    if (on_events) on_events(pending_event_passes);
}

void RecordingOperator::ShowProgress(bool visible) {
    progress_visible = visible;
    calls_.push_back(visible ? "progress: show" : "progress: hide");
}

void RecordingOperator::SetProgressTotal(int total) {
    progress_total = total;
    progress_completed = 0;
    calls_.push_back("progress: total " + std::to_string(total));
}

void RecordingOperator::SetProgressCompleted(int completed) {
    progress_completed = completed > progress_total && progress_total > 0 ? progress_total : completed;
    calls_.push_back("progress: completed " + std::to_string(completed));
}

void RecordingOperator::AdvanceProgress() { ++progress_completed; }

std::vector<std::string> RecordingOperator::Messages() const {
    std::vector<std::string> texts;
    const std::string prefix = "inform: ";
    for (const auto& call : calls_)
        if (call.rfind(prefix, 0) == 0) texts.push_back(call.substr(prefix.size()));
    return texts;
}

}  // namespace nkq::testing
