#pragma once
// The ways the virtual modem can misbehave, so that every failure path of the
// workstation can be driven from a test or from the command line. The
// defaults give a well-behaved modem.
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace nkq {

struct ModemBehaviour {
    // Nothing is ever sent back.
    bool silent = false;
    // Every reply (text or loader byte) waits this long before it goes out.
    std::chrono::milliseconds reply_delay{0};

    // "GET" and "TCP" replies go out in two parts with this pause between
    // them; zero sends them whole.
    std::chrono::milliseconds burst_gap{0};
    // Offset at which the second part starts; zero splits in the middle.
    std::size_t burst_split = 0;

    // Every acknowledgement ("READY", "OK", "ER", "ERROR", the RS485 notice,
    // the loader's bytes) goes out one byte at a time, with a pause of 5 to
    // 30 ms before each byte after the first, as a slow modem or a USB
    // adapter that splits short answers delivers it.
    bool acks_byte_by_byte = false;

    // Keys the "GET" reply leaves out, as a modem of another firmware may.
    std::vector<std::string> unlisted_keys;

    // "INTERFACE RS485" in the "GET" reply, and a "COMFC" line is answered
    // with the twelve-byte "COM..." notice instead of "OK".
    bool rs485 = false;

    bool refuse_cmd = false;  // "CMD" is answered "ERROR" + CR
    std::string reject_key;   // a parameter line with this key is answered "ER" + CR
    bool bad_save = false;    // "SAVE" is answered "ER" + CR and commits nothing

    // Firmware blocks are numbered from 1; 0 switches the rule off.
    int nak_block = 0;      // this block is answered "1" ...
    int nak_times = 1;      // ... this many times before it is accepted
    int bad_ack_block = 0;  // this block is answered with bad_ack_byte
    char bad_ack_byte = '2';
    int doubled_ack_block = 0;  // this block's acknowledgement goes out twice, in one write
    int late_ack_block = 0;     // this block's acknowledgement waits late_ack_delay first
    std::chrono::milliseconds late_ack_delay{3500};
    bool no_update_reply = false;  // "UPDATE" gets no answer and the loader stays shut
    bool no_start_reply = false;   // "S" gets no answer and the loader gives up
    bool no_count_reply = false;   // the block count gets no answer and the loader gives up

    // A modem that sends an acknowledgement twice: the chosen answer goes out
    // once more repeat_delay after the real one. The modem handles the next
    // input only after the repeat, so the repeat always precedes the next answer.
    std::chrono::milliseconds repeat_delay{20};
    int repeat_line_ack = 0;        // the answer to this parameter line (1 = first after "CMD"); 0: none
    bool repeat_ready = false;      // "READY" + CR to "CMD"
    bool repeat_save = false;       // "OK" + CR to "SAVE"
    bool repeat_count_ack = false;  // the loader's "0" to the block count
    int repeat_block_ack = 0;       // the answer to this firmware block (1 = first); 0: none

    // "GET" is answered by an endless trickle of bytes (one chunk every 50 ms)
    // until the next byte arrives or the limit runs out.
    bool endless_reply = false;
    std::chrono::milliseconds endless_limit{30000};

    // Hang-ups: the modem closes its side of the line and the device goes
    // away. Zero switches each one off.
    std::size_t hang_up_after_get_bytes = 0;  // after this many bytes of a "GET" reply
    int hang_up_after_lines = 0;              // after acknowledging this many parameter lines
    int hang_up_after_packets = 0;            // after acknowledging this many packets
    // A hang-up throws away what the client has not read yet, so the line is
    // held this long first, or until the client sends anything (that input
    // is then not answered).
    std::chrono::milliseconds hang_up_linger{1000};

    // Send, and take in what the client sends, at the pace of the real line
    // (115200 bit/s, about 87 us a byte).
    bool real_speed = false;

    // What follows "IP" and one blank in each line of the "TCP" reply.
    std::vector<std::string> connections{"192.168.0.5:1234", "10.20.30.40:5000"};
};

}  // namespace nkq
