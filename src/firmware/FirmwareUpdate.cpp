#include "firmware/FirmwareUpdate.h"

#include <thread>

#include "app/LibraryText.h"
#include "app/Operator.h"
#include "app/OperatorMessages.h"
#include "firmware/FileNameStore.h"
#include "serial/ComPort.h"
#include "protocol/ModemCommands.h"

namespace nkq {

namespace {

// A byte that is already waiting before something is sent cannot be the
// answer to it: a late answer to an earlier attempt, a doubled
// acknowledgement or line noise. Taken as the answer it would shift every
// later answer by one, so that a packet the modem asked for again would be
// taken as accepted and the next one resent in its place.
void DropStaleInput(TCustomComPort& port) { port.Purge(true, false); }

// A read that returns no byte yields 0, which is never an accepted answer.
char ReadAnswer(TCustomComPort& port) {
    char answer = 0;
    return port.Read(&answer, 1) == 1 ? answer : 0;
}

[[noreturn]] void FailWith(FirmwareSession& session, const char* message) {
    session.ComPort.Close();
    session.Op.InformOperator(message);
    AbortOperation();
}

// "UPDATE", the loader's pause and "S"; false after "Устройство не найдено".
bool EnterLoader(FirmwareSession& session) {
    DropStaleInput(session.ComPort);
    session.ComPort.WriteText(std::string(modem::kUpdate) + modem::kCR);
    if (ReadAnswer(session.ComPort) != modem::kAccepted) {
        session.Op.InformOperator(messages::kDeviceNotFound);
        return false;
    }
    std::this_thread::sleep_for(modem::kLoaderPause);
    DropStaleInput(session.ComPort);
    session.ComPort.Write(&modem::kStartUpload, 1);
    if (ReadAnswer(session.ComPort) != modem::kAccepted) {
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
    } catch (const EUploadStopped&) {
        throw;
    } catch (...) {
        session.Op.InformOperator(messages::kCheckConnection);
        return false;
    }
}

void EndTransfer(FirmwareSession& session) {
    session.Op.ShowProgress(false);
    session.ComPort.Close();
}

// Read before the port opens, so an unreadable or oversized file sends
// nothing: the modem's loader is never entered for an image it cannot get.
FirmwareImage LoadImage(FirmwareSession& session) {
    FirmwareImage image;
    try {
        image = ReadFirmwareImage(session.FileName);
    } catch (...) {
        session.Op.ShowProgress(false);
        throw;
    }
    if (image.oversized) {
        session.Op.ShowProgress(false);
        session.Op.InformOperator(messages::kImageTooLarge);
        AbortOperation();
    }
    return image;
}

}  // namespace

EUploadStopped::EUploadStopped()
    : Exception("EUploadStopped",
                LibraryText("Firmware upload stopped; the modem's loader is left waiting for a new upload")) {
}

UpdateResult UpdateFirmware(FirmwareSession& session) {
    if (!session.Op.AskYesNo(messages::kUpdateQuestion, messages::kQuestionCaption)) {
        return UpdateResult::Declined;
    }
    session.Op.ShowProgress(true);
    session.Op.SetProgressCompleted(0);
    session.FileNames.SaveFileName(session.FileName);
    const FirmwareImage image = LoadImage(session);

    session.ComPort.Open();  // a failure here leaves the bar shown, as the window always did
    bool updated = false;
    try {
        updated = RunGuardedPart(session, image);
    } catch (...) {
        EndTransfer(session);
        throw;
    }
    EndTransfer(session);
    return updated ? UpdateResult::Updated : UpdateResult::Failed;
}

void SendFirmware(FirmwareSession& session, const FirmwareImage& image) {
    const std::size_t blocks = image.BlockCount();
    session.Op.SetProgressTotal(static_cast<int>(blocks));
    const std::string count = BlockCountBytes(blocks);
    DropStaleInput(session.ComPort);
    session.ComPort.Write(count.data(), static_cast<int>(count.size()));
    if (ReadAnswer(session.ComPort) != modem::kAccepted) {
        session.Op.InformOperator(messages::kSyncFailed);
        AbortOperation();
    }
    for (std::size_t index = 0; index < blocks; ++index) {
        if (session.StopRequested && session.StopRequested()) throw EUploadStopped();
        SendBlock(session, image.Block(index));
        session.Op.AdvanceProgress();
        session.Op.ProcessPendingEvents();
    }
}

void SendBlock(FirmwareSession& session, std::string_view block) {
    std::string packet(block);
    packet += static_cast<char>(BlockChecksum(block));
    for (int attempt = 0; attempt < modem::kPacketAttempts; ++attempt) {
        if (SendPacket(session, packet) == modem::kAccepted) return;
    }
    FailWith(session, messages::kTransferFailed);
}

char SendPacket(FirmwareSession& session, const std::string& packet) {
    DropStaleInput(session.ComPort);
    session.ComPort.WriteText(packet);
    const char answer = ReadAnswer(session.ComPort);
    if (answer == modem::kAccepted || answer == modem::kResend) return answer;
    FailWith(session, messages::kInvalidAcknowledgement);
}

}  // namespace nkq
