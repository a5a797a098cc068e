#pragma once
#include <cstdint>

#include "serial/ComPortTypes.h"
#include "serial/ComSettingsOwner.h"

namespace nkq {

// Parity of the line. Bits and Check reach termios (PARENB/PARODD/CMSPAR,
// INPCK); Replace and ReplaceChar are only stored, termios has no
// replacement character for bytes with a parity error.
class TComParity {
public:
    explicit TComParity(TComSettingsOwner& owner) : owner_(owner) {}
    TComParity(const TComParity&) = delete;
    TComParity& operator=(const TComParity&) = delete;

    TComSettingsOwner& Owner() const { return owner_; }

    TParityBits Bits() const { return bits_; }
    void SetBits(TParityBits value) { ChangeLineSetting(owner_, bits_, value); }
    bool Check() const { return check_; }
    void SetCheck(bool value) { ChangeLineSetting(owner_, check_, value); }
    bool Replace() const { return replace_; }
    void SetReplace(bool value) { replace_ = value; }
    std::uint8_t ReplaceChar() const { return replace_char_; }
    void SetReplaceChar(std::uint8_t value) { replace_char_ = value; }

private:
    TComSettingsOwner& owner_;
    TParityBits bits_ = TParityBits::prNone;
    bool check_ = false;
    bool replace_ = false;
    std::uint8_t replace_char_ = 0;
};

}  // namespace nkq
