#pragma once
// Runs one operation with its journal record: the recorder made as it
// starts, every message and question the operator gets recorded on the way,
// and the record ended with how the operation ended. Both front ends run
// their operations through here, so the journal is kept the same way
// whichever of them runs an operation.
#include <exception>
#include <string>

#include "app/ErrorText.h"
#include "app/Failure.h"
#include "journal/JournalOperator.h"
#include "journal/OperationRecorder.h"

namespace nkq::journal {

// `body(Operator&, OperationRecorder&)` runs the operation with the operator
// it is given and returns its Outcome; a failure it raises is recorded (with
// the text the error display will show) and raised again unchanged.
template <typename Body>
Outcome RunRecorded(WorkJournal& journal, const std::string& port, OperationKind kind, Operator& shown,
                    Body&& body) {
    OperationRecorder recorder(journal, port, kind);
    JournalOperator op(shown, recorder);
    try {
        const Outcome outcome = body(static_cast<Operator&>(op), recorder);
        recorder.End(outcome);
        return outcome;
    } catch (const EAbort&) {
        recorder.End(Outcome::Failed);  // the operator has been told already
        throw;
    } catch (const EOperationStopped& stopped) {
        recorder.AddMessage(stopped.Message());
        recorder.End(Outcome::Stopped);
        throw;
    } catch (const Exception& failure) {
        recorder.AddMessage(ErrorDisplayText(failure.Message()));
        recorder.End(Outcome::Failed);
        throw;
    } catch (const std::exception& failure) {
        recorder.AddMessage(ErrorDisplayText(failure.what()));
        recorder.End(Outcome::Failed);
        throw;
    }
}

}  // namespace nkq::journal
