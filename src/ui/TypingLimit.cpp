#include "ui/TypingLimit.h"

#include <algorithm>

namespace nkq::ui {

QString LimitTyping(const QString& before, const QString& after, int limit) {
    if (limit <= 0 || after.size() <= limit || after.size() <= before.size()) return after;
    // The edit replaced before[prefix, before.size() - suffix) with the
    // middle of `after`; the common ends locate it.
    qsizetype prefix = 0;
    const qsizetype shortest = std::min(before.size(), after.size());
    while (prefix < shortest && before[prefix] == after[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < shortest - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const qsizetype removed = before.size() - prefix - suffix;
    const qsizetype kept = before.size() - removed;
    const qsizetype room = std::max<qsizetype>(0, limit - kept);
    const QString inserted = after.mid(prefix, after.size() - prefix - suffix).left(room);
    return before.left(prefix) + inserted + before.right(suffix);
}

}  // namespace nkq::ui
