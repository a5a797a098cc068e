#include "ui/TProgressBar.h"

#include <algorithm>

namespace nkq::ui {

TProgressBar::TProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

int TProgressBar::Percent(int completed, int total) {
    const long long scaled = static_cast<long long>(completed) * 100;
    long long percent = scaled / total;
    const long long twice_rest = 2 * (scaled % total);
    if (twice_rest > total || (twice_rest == total && percent % 2 != 0)) ++percent;
    return static_cast<int>(percent);
}

void TProgressBar::SetTotal(int total) {
    total_ = std::max(0, total);
    completed_ = 0;
    setValue(0);
}

void TProgressBar::SetCompleted(int completed) {
    completed_ = std::clamp(completed, 0, std::max(total_, 0));
    ShowFill();
}

void TProgressBar::ShowFill() {
    // With no parts at all there is no share to show; the fill stays.
    if (total_ > 0) setValue(Percent(completed_, total_));
}

}  // namespace nkq::ui
