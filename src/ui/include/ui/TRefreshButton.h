#pragma once
// The small round blue button with two circling arrows that refreshes the
// port list; drawn here so it needs no picture file.
#include <QAbstractButton>

namespace nkq::ui {

class TRefreshButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TRefreshButton(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void DrawArrow(QPainter& painter, const QRectF& circle, int start_degrees) const;

    bool hovered_ = false;
};

}  // namespace nkq::ui
