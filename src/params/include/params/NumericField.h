#pragma once
// A numeric field with a range. Its text is whatever was last set: a text from
// a parameter line stays unchecked until the operator leaves the field, so what
// the modem sent is written back unchanged unless someone touched it.
#include <cstdint>
#include <string>

#include "params/Field.h"

namespace nkq {

class NumericField : public Field {
public:
    NumericField(std::int32_t minimum, std::int32_t maximum, std::int32_t initial);

    std::int32_t Minimum() const { return minimum_; }
    std::int32_t Maximum() const { return maximum_; }

    const std::string& Text() const { return text_; }

    // Shown exactly as given, without any check.
    void SetText(const std::string& text);

    // Brought into the range and shown as a whole number.
    void SetNumber(std::int64_t number);

    // The field lost the keyboard focus: a decimal number (anything else counts
    // as the minimum), brought into the range, shown rounded to a whole number.
    void Leave();

    // Arrow keys, Page Up/Down, the wheel and the step buttons: +-1 or +-10
    // from the number the text holds.
    void Step(std::int32_t delta);

private:
    double NumberOrMinimum() const;
    void ShowRounded(double number);

    std::int32_t minimum_;
    std::int32_t maximum_;
    std::string text_;
};

}  // namespace nkq
