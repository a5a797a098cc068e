#pragma once
// Whether every fixed text of a window fits the rectangle it is drawn in,
// measured with the font metrics of the font each control actually uses and
// the rectangles the style draws into.
#include <QStringList>

class QWidget;

namespace nkq::ui::testing {

// One line per text that does not fit, naming the control and both sizes:
// captions of labels, buttons, check boxes (with their indicator), radio
// buttons and group boxes.
QStringList TextMisfits(const QWidget& root);

// One line per control that lies on a sibling, or outside the inside of its
// group box's frame (below the frame's top line).
QStringList PlacementMisfits(const QWidget& root);

}  // namespace nkq::ui::testing
