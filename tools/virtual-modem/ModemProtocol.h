#pragma once
// The modem's side of every exchange, with no line, thread or clock: bytes go
// in, and out come the steps to carry out (what to send after what wait, when
// to start a trickle or hang up) and the state a test looks at. The virtual
// modem drives it on its pseudo-terminal; unit tests and the fuzzer drive it
// directly.
#include <chrono>
#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "FirmwareLoader.h"
#include "ModemBehaviour.h"
#include "ModemLineReader.h"
#include "ModemParameters.h"
#include "ModemReaction.h"

namespace nkq {

class ModemProtocol {
public:
    explicit ModemProtocol(ModemParameters parameters = ModemParameters::Defaults(),
                           ModemBehaviour behaviour = {});

    // Takes bytes up to the first one that ends a line or a loader step, so
    // that the caller can carry out the answer before the next byte arrives.
    // Takes at least one byte of a non-empty input.
    ModemReaction Feed(std::string_view bytes);

    // Applies from the next byte on.
    void SetBehaviour(const ModemBehaviour& behaviour) { behaviour_ = behaviour; }
    const ModemBehaviour& Behaviour() const { return behaviour_; }

    // The client closed the line or the modem hung up: a half-read line and
    // an unfinished upload are forgotten.
    void ClientGone();

    // Parameters as "GET" lists them (committed by "SAVE").
    const ModemParameters& Parameters() const { return parameters_; }
    void SetParameters(const ModemParameters& parameters) { parameters_ = parameters; }
    // Lines received in the current write session and not yet saved.
    const ModemParameters& PendingParameters() const { return pending_; }
    // Every text line received, in order, without line ends.
    const std::vector<std::string>& CommandLines() const { return lines_; }

    // The last image received whole by the loader.
    const std::string& FirmwareImage() const { return image_; }
    int UploadsCompleted() const { return uploads_; }
    int PacketsReceived() const { return packets_; }  // every packet, resends included
    int NaksSent() const { return naks_; }
    const FirmwareLoader& Loader() const { return loader_; }
    std::size_t PendingLineSize() const { return line_reader_.PendingSize(); }

    bool TrafficStopped() const { return traffic_stopped_; }  // after "STOP", until "START"
    bool InWriteMode() const { return write_mode_; }          // after "CMD" was accepted
    bool LoaderActive() const { return loader_.Active(); }    // between "UPDATE" and the last packet

private:
    void FeedByte(char byte, ModemReaction& out);
    void FeedLine(char byte, ModemReaction& out);
    void FeedLoader(char byte, ModemReaction& out);
    void TakeLine(const std::string& line, ModemReaction& out);
    void AnswerCommand(const std::string& line, ModemReaction& out);
    void AnswerWriteModeLine(const std::string& line, ModemReaction& out);
    void AnswerGet(ModemReaction& out) const;
    void AnswerTcp(ModemReaction& out) const;
    void AnswerCmd(ModemReaction& out);
    void AnswerUpdate(ModemReaction& out);
    void AnswerSave(ModemReaction& out);
    void AnswerParameterLine(const std::string& line, ModemReaction& out);
    void AnswerLoader(char answer, int block_number, bool repeated, ModemReaction& out) const;
    std::string ParameterLines() const;

    // An acknowledgement, once or (repeated) twice.
    void Reply(std::string text, ModemReaction& out, bool repeated = false,
               std::chrono::milliseconds late = {}) const;
    void SendAnswer(std::string text, std::chrono::milliseconds wait, ModemReaction& out) const;
    void ReplyInBursts(const std::string& text, ModemReaction& out) const;
    void HangUp(ModemReaction& out) const;

    ModemBehaviour behaviour_;
    ModemParameters parameters_;
    ModemParameters pending_;
    std::vector<std::string> lines_;
    ModemLineReader line_reader_;
    FirmwareLoader loader_;
    std::string image_;
    int uploads_ = 0;
    int packets_ = 0;
    int naks_ = 0;
    bool traffic_stopped_ = false;
    bool write_mode_ = false;
    int lines_answered_ = 0;
    int session_lines_ = 0;  // parameter lines received since "CMD", answered or not
    int packets_accepted_ = 0;
    // The pauses between the bytes of an acknowledgement sent byte by byte:
    // the same sequence in every run.
    mutable std::minstd_rand byte_gaps_{20231208};
};

}  // namespace nkq
