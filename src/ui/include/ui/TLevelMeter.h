#pragma once
// The signal meter: five wedge segments growing from left to right, the
// leftmost `Level` of them lit.
#include <QPolygon>
#include <QWidget>

namespace nkq::ui {

class TLevelMeter : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSegments = 5;

    explicit TLevelMeter(QWidget* parent = nullptr);

    int Level() const { return level_; }
    // Brought into 0..5.
    void SetLevel(int level);

    // The outline of segment 0..4 in widget coordinates.
    QPolygon SegmentShape(int segment) const;
    static QColor LitColor();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int WedgeHeightAt(int x) const;

    int level_ = 0;
};

}  // namespace nkq::ui
