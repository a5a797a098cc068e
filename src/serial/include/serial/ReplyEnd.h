#pragma once
// How a command exchange decides that a reply of unannounced length is
// complete.
namespace nkq {

enum class ReplyEnd {
    // The first look at the input after the first wait, then short steps
    // until one passes without input: a fast modem's reply still takes the
    // whole first wait. The window's rule.
    WhenQuiet,
    // The input is watched from the moment the command is written; a
    // complete line beginning with "OK", followed by one quiet short step,
    // ends the reply. Without such a line by the first look, WhenQuiet
    // takes over unchanged. nkq --quick.
    AtOkLine,
};

}  // namespace nkq
