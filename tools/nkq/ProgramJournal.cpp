#include "ProgramJournal.h"

namespace nkq::cli {

journal::WorkJournal& ProgramJournal() {
    static journal::WorkJournal journal(journal::ProgramKind::Nkq);
    return journal;
}

}  // namespace nkq::cli
