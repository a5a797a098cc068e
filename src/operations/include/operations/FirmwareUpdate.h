#pragma once
// Loading a firmware image into the modem: "UPDATE", a pause, "S", the block
// count, then one acknowledged packet (block and checksum) per block.
#include <functional>
#include <string>

#include "app/Failure.h"
#include "app/OperationRecorder.h"
#include "firmware/FirmwareImage.h"

namespace nkq {

class FileNameStore;
class FirmwareFile;
class Operator;
class TCustomComPort;

struct FirmwareSession {
    TCustomComPort& ComPort;
    Operator& Op;
    FileNameStore& FileNames;
    std::string FileName;  // the file name field's text
    // Asked during the loader's pause and before every packet; true ends the
    // update with EOperationStopped, which passes the guarded part without
    // the general message (the connection is fine). The window leaves it empty.
    std::function<bool()> StopRequested;
    // The record of the update, fed the image and the blocks the modem
    // acknowledged; null records nothing.
    OperationRecorder* Record = nullptr;
    // The file read once for a whole batch, named FileName; null reads
    // FileName itself when the update starts.
    FirmwareFile* File = nullptr;
};

// How an update that did not raise ended.
enum class UpdateResult { Declined, Updated, Failed };

// The outcome a record keeps: a declined update counts as stopped.
Outcome OutcomeOf(UpdateResult result);

// The whole operation behind "Обновить ПО". Raises what it does not handle
// itself: a file that cannot be read (before the port opens), the port's
// open failure, a stop request, and the silent abort after an image too
// large for the block count or too small for one block. An answer out of
// step with what was sent fails the update.
UpdateResult UpdateFirmware(FirmwareSession& session);

// Sends the count and every whole block on the open port, then lets the line
// settle; raises on failure.
void SendFirmware(FirmwareSession& session, const FirmwareImage& image);
// One block with up to five attempts; closes the port and aborts when all fail.
void SendBlock(FirmwareSession& session, std::string_view block);
// One attempt: returns '0' or '1'; any other answer, or none, closes the port
// and aborts.
char SendPacket(FirmwareSession& session, const std::string& packet);

}  // namespace nkq
