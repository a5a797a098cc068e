#include "operations/FirmwareUpdate.h"

#include "app/LibraryText.h"
#include "app/MessageText.h"
#include "app/Operator.h"
#include "app/OperatorMessages.h"
#include "app/ScopeExit.h"
#include "app/StopAwareWait.h"
#include "firmware/FileNameStore.h"
#include "firmware/FirmwareFile.h"
#include "protocol/ModemCommands.h"
#include "serial/ComPort.h"
#include "serial/InStep.h"
#include "serial/SendCommand.h"

namespace nkq {

namespace {

// A read that returns no byte yields 0, which is never an accepted answer.
char ReadAnswer(TCustomComPort& port) {
    char answer = 0;
    return port.Read(&answer, 1) == 1 ? answer : 0;
}

// A refusal is an answer that comes alone; followed by more input it shows
// answers out of step with the packets (an earlier answer was doubled).
[[noreturn]] void FailRefused(FirmwareSession& session, const char* refusal);

[[noreturn]] void FailWith(FirmwareSession& session, const char* message) {
    session.ComPort.Close();
    session.Op.InformOperator(message);
    AbortOperation();
}

void FailRefused(FirmwareSession& session, const char* refusal) {
    FailWith(session, LineStaysQuiet(session.ComPort) ? refusal : messages::kExtraAnswer);
}

bool StopRequested(const FirmwareSession& session) {
    return session.StopRequested && session.StopRequested();
}

// Sends a step after the loader's first answer and reads its one-byte
// answer. Anything the loader sends besides that answer means the two sides
// are out of step.
char AskLoader(FirmwareSession& session, std::string_view step) {
    const auto answer = AskInStep(session.ComPort, step,
                                  [](TCustomComPort& port) { return std::string(1, ReadAnswer(port)); });
    if (!answer) FailWith(session, messages::kExtraAnswer);
    return answer->front();
}

// The loader's pause, cut short by a stop request: nothing is then sent that
// would commit the loader to a transfer.
void WaitForLoader(const FirmwareSession& session) {
    if (!WaitUnlessStopped(modem::kLoaderPause, session.StopRequested)) return;
    throw EOperationStopped(
        LibraryText("Firmware update stopped before \"S\" and the block count were sent; the modem's loader "
                    "has not started a transfer"));
}

// "UPDATE", the loader's pause and "S"; false after "Устройство не найдено".
bool EnterLoader(FirmwareSession& session) {
    // Input before "UPDATE" may be the modem's own traffic: dropped.
    session.ComPort.Purge(true, false);
    SendCommand(session.ComPort, modem::kUpdate);
    if (ReadAnswer(session.ComPort) != modem::kAccepted) {
        session.Op.InformOperator(messages::kDeviceNotFound);
        return false;
    }
    WaitForLoader(session);
    if (AskLoader(session, std::string_view(&modem::kStartUpload, 1)) != modem::kAccepted) {
        session.Op.InformOperator(messages::kDeviceNotFound);
        return false;
    }
    return true;
}

// Returns whether the image went over whole. Every failure but a stop
// request becomes the general message; the operation then ends normally.
bool RunGuardedPart(FirmwareSession& session, const FirmwareImage& image) {
    try {
        if (!EnterLoader(session)) return false;
        SendFirmware(session, image);
        return true;
    } catch (const EOperationStopped&) {
        throw;
    } catch (...) {
        session.Op.InformOperator(messages::kCheckConnection);
        return false;
    }
}

[[noreturn]] void RefuseImage(FirmwareSession& session, const char* message) {
    session.Op.ShowProgress(false);
    session.Op.InformOperator(message);
    AbortOperation();
}

// Read before the port opens, so an unreadable, empty or oversized file
// sends nothing: the modem's loader is never entered for an image it cannot
// take whole.
const FirmwareImage& LoadImage(FirmwareSession& session, FirmwareFile& file) {
    const FirmwareFileContent* content = nullptr;
    try {
        content = &file.Content();
    } catch (...) {
        session.Op.ShowProgress(false);
        throw;
    }
    const FirmwareImage& image = content->image;
    if (session.Record) {
        session.Record->SetFirmwareImage(session.FileName, image.bytes.size(),
                                         static_cast<std::uint32_t>(image.BlockCount()), content->digest);
    }
    if (image.oversized) RefuseImage(session, messages::kImageTooLarge);
    if (image.BlockCount() == 0) RefuseImage(session, messages::kImageTooSmall);
    return image;
}

}  // namespace

Outcome OutcomeOf(UpdateResult result) {
    switch (result) {
        case UpdateResult::Updated:
            return Outcome::Succeeded;
        case UpdateResult::Declined:
            return Outcome::Stopped;
        case UpdateResult::Failed:
            break;
    }
    return Outcome::Failed;
}

UpdateResult UpdateFirmware(FirmwareSession& session) {
    if (!session.Op.AskYesNo(messages::kUpdateQuestion, messages::kQuestionCaption)) {
        return UpdateResult::Declined;
    }
    session.Op.ShowProgress(true);
    session.Op.SetProgressCompleted(0);
    session.FileNames.SaveFileName(session.FileName);
    FirmwareFile own_file(session.FileName);
    const FirmwareImage& image = LoadImage(session, session.File ? *session.File : own_file);

    session.ComPort.Open();  // a failure here leaves the bar shown
    const ScopeExit end([&] {
        session.Op.ShowProgress(false);
        CloseQuietly(session.ComPort);
    });
    const bool updated = RunGuardedPart(session, image);
    session.ComPort.Close();
    return updated ? UpdateResult::Updated : UpdateResult::Failed;
}

void SendFirmware(FirmwareSession& session, const FirmwareImage& image) {
    const std::size_t blocks = image.BlockCount();
    session.Op.SetProgressTotal(static_cast<int>(blocks));
    const std::string count = BlockCountBytes(blocks);
    if (AskLoader(session, count) != modem::kAccepted) {
        session.Op.InformOperator(messages::kSyncFailed);
        AbortOperation();
    }
    for (std::size_t index = 0; index < blocks; ++index) {
        if (StopRequested(session)) {
            throw EOperationStopped(
                FillIn(LibraryText("Firmware update stopped after block %s of %s; the "
                                   "modem may need to be restarted before the next update"),
                       {std::to_string(index), std::to_string(blocks)}));
        }
        SendBlock(session, image.Block(index));
        if (session.Record) session.Record->SetBlocksAcknowledged(static_cast<std::uint32_t>(index + 1));
        session.Op.AdvanceProgress();
        session.Op.ProcessPendingEvents();
    }
    // A late answer now would mean one of the answers above was not the one
    // it was taken for.
    if (!LineStaysQuiet(session.ComPort)) FailWith(session, messages::kExtraAnswer);
}

void SendBlock(FirmwareSession& session, std::string_view block) {
    std::string packet(block);
    packet += static_cast<char>(BlockChecksum(block));
    for (int attempt = 0; attempt < modem::kPacketAttempts; ++attempt) {
        if (SendPacket(session, packet) == modem::kAccepted) return;
    }
    FailRefused(session, messages::kTransferFailed);
}

char SendPacket(FirmwareSession& session, const std::string& packet) {
    const char answer = AskLoader(session, packet);
    if (answer == modem::kAccepted || answer == modem::kResend) return answer;
    FailRefused(session, messages::kInvalidAcknowledgement);
}

}  // namespace nkq
