#pragma once
// A workstation side (port, parameter set, recording operator, the parameter
// and firmware sessions, a file-name store, a temporary folder) wired to a
// virtual modem over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "QuietLine.h"
#include "RecordingOperator.h"
#include "TestFiles.h"
#include "VirtualModem.h"
#include "firmware/MemoryFileNameStore.h"
#include "operations/FirmwareUpdate.h"
#include "operations/ParameterSession.h"
#include "params/ParameterSet.h"
#include "serial/ComPort.h"

namespace nkq::testing {

// Bytes that differ from block to block and from position to position, so a
// block out of place or a shifted byte shows.
std::string ImageBytes(std::size_t size);

class ModemFixture : public ::testing::Test {
protected:
    // The parameter set's startup rules applied, and a modem running.
    void SetUp() override;

    // A new modem on a new device, the port pointed at it.
    void StartModem(ModemSetup setup = {});
    void Behave(const std::function<void(ModemBehaviour&)>& change) { modem->UpdateBehaviour(change); }

    // The command lines, and every byte, the modem received once the line
    // has been quiet for a moment.
    std::vector<std::string> Received() const;
    std::string ReceivedBytes() const;

    // The port was closed by the operation: another open succeeds at once.
    bool PortWasReleased();

    // Writes `bytes` as the image the firmware session uploads; returns them.
    std::string UseImage(const std::string& bytes);
    // An image of `blocks` whole blocks.
    std::string MakeImage(int blocks);

    std::unique_ptr<VirtualModem> modem;
    TComPort port{TComPortSetup::System};
    ParameterSet set;
    RecordingOperator op;
    ParameterSession session{port, set, op, {}};
    MemoryFileNameStore file_names;
    FirmwareSession firmware{port, op, file_names, {}, {}};
    TempFolder folder{"modem"};
};

}  // namespace nkq::testing
