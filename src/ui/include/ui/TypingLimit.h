#pragma once
// A typing limit that, unlike QLineEdit's maximum length, leaves a longer
// text set by the program whole: only what the operator adds is cut.
#include <QString>

namespace nkq::ui {

// The text after an edit that turned `before` into `after`, with the inserted
// characters cut so the result holds at most `limit` characters; an edit that
// does not lengthen the text passes unchanged. A limit of 0 means none.
QString LimitTyping(const QString& before, const QString& after, int limit);

}  // namespace nkq::ui
