#pragma once
// The work journal of this nkq run: where the environment says (NKQ_JOURNAL,
// or the user's data folder), made on first use and shared by every port.
#include "journal/WorkJournal.h"

namespace nkq::cli {

journal::WorkJournal& ProgramJournal();

}  // namespace nkq::cli
