#pragma once
// The port's configuration value types. Each enumeration keeps its declared
// order, which is also its numeric order from 0, because stored settings and
// the selector's value lists rely on that order.
#include <cstdint>
#include <functional>

namespace nkq {

enum class TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};

enum class TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum class TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum class TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum class TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum class TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum class TSyncMethod { smThreadSync, smWindowSync, smNone };

enum class TComEvent {
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD,
    evRx80Full
};

// A set of TComEvent values.
class TComEvents {
public:
    constexpr TComEvents() = default;

    static constexpr TComEvents All() { return TComEvents(kAllBits); }

    constexpr bool Contains(TComEvent event) const { return (bits_ & Bit(event)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr void Include(TComEvent event) { bits_ = static_cast<std::uint16_t>(bits_ | Bit(event)); }
    constexpr void Exclude(TComEvent event) { bits_ = static_cast<std::uint16_t>(bits_ & ~Bit(event)); }
    constexpr bool operator==(const TComEvents&) const = default;

private:
    static constexpr std::uint16_t kAllBits = 0x03FF;
    constexpr explicit TComEvents(std::uint16_t bits) : bits_(bits) {}
    static constexpr std::uint16_t Bit(TComEvent event) {
        return static_cast<std::uint16_t>(1u << static_cast<unsigned>(event));
    }

    std::uint16_t bits_ = 0;
};

// The port's event properties. The system assigns none of them; the four
// open/close notifications are called, the line events are only stored
// because no monitor thread runs.
struct TComPortHandlers {
    std::function<void()> OnBeforeOpen;
    std::function<void()> OnAfterOpen;
    std::function<void()> OnBeforeClose;
    std::function<void()> OnAfterClose;
    std::function<void(int)> OnRxChar;
    std::function<void(int)> OnRxBuf;
    std::function<void()> OnTxEmpty;
    std::function<void()> OnBreak;
    std::function<void()> OnRing;
    std::function<void(bool)> OnCTSChange;
    std::function<void(bool)> OnDSRChange;
    std::function<void(bool)> OnRLSDChange;
    std::function<void()> OnRxFlag;
    std::function<void(int)> OnError;
    std::function<void()> OnRx80Full;
};

}  // namespace nkq
