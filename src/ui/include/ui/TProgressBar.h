#pragma once
// The firmware progress bar: a count of completed parts out of a total,
// shown as a whole percentage without text.
#include <QProgressBar>

namespace nkq::ui {

class TProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit TProgressBar(QWidget* parent = nullptr);

    int Total() const { return total_; }
    int Completed() const { return completed_; }

    // Resets the completed parts and empties the bar.
    void SetTotal(int total);
    // Above the total counts as the total.
    void SetCompleted(int completed);
    void Advance() { SetCompleted(completed_ + 1); }

    // completed / total in whole percent, halves to the even neighbour.
    static int Percent(int completed, int total);

private:
    void ShowFill();

    int total_ = 0;
    int completed_ = 0;
};

}  // namespace nkq::ui
