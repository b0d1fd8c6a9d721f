#pragma once
// Reading the unit's reply lines: a received block, the scan position inside it, the key search
// and the field cuts every reply family uses, and the conversions of field texts into shown
// values. A reply is ">" + key + "=" + fields separated by ";" + CR LF; keys are found anywhere in
// a block, first occurrence only. Texts are Windows-1251 byte strings; fields are views into the
// block (no copy).

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "text/RegionalFormats.h"

namespace rv {

class DisplayModel;

// A field that a decoder needs as an integer and that is none. The message is
// "'<field>' is not a valid integer value" with the field's bytes (Windows-1251). It ends the
// decoding of the block it came from.
class ConversionError : public std::runtime_error {
  public:
    explicit ConversionError(std::string_view field);
    const std::string& Field() const { return field_; }

  private:
    std::string field_;
};

class ReplyScanner {
  public:
    // Takes a new block (the view must stay valid while it is scanned) and notes where its '>'
    // characters stand, so that each key search only looks there.
    void Reset(std::string_view block);

    std::string_view Block() const { return block_; }

    // Finds the first occurrence of `key` anywhere in the block (case-sensitive). When found, the
    // scan position indexes the first character after the key; returns whether it was found.
    bool FindKey(std::string_view key);

    // The field from the scan position up to the next `delimiter` (not included); the scan
    // position moves past the delimiter. Without a delimiter the field stops one character before
    // the end of the block (the final LF is dropped, a CR before it stays) and the position is
    // past the end, so every further field is empty.
    std::string_view NextField(char delimiter);

    // The next field up to CR as the bits of an IEEE single shown in fixed point with `decimals`
    // decimals (see FloatBitsText). A field that is no 64-bit decimal integer throws
    // ConversionError.
    std::string FloatBitsField(int decimals, const RegionalFormats& formats);

    // Scan position as 0-based index of the next character to read (== block size when past the
    // end).
    std::size_t Position() const { return pos_; }
    // Moves the scan position `count` characters forward (never past the end).
    void Skip(std::size_t count);
    // The character at 0-based index `at`, or 0 when `at` is past the end.
    char CharAt(std::size_t at) const { return at < block_.size() ? block_[at] : '\0'; }

  private:
    std::string_view block_;
    std::size_t pos_ = 0;
    std::vector<std::uint32_t> marks_;   // indexes of '>' in the block (capacity kept)
    std::array<std::uint64_t, 4> next_;  // set of characters that follow a '>'
};

// Integer fields: the whole field must be a signed 32-bit decimal number (leading spaces and one
// leading sign allowed). Anything else (empty, out of range, a CR left in the field) is none.
bool ParseInt32(std::string_view field, std::int32_t& value);
bool ParseInt64(std::string_view field, std::int64_t& value);
// The field's value, or `fallback` when it is no integer.
std::int32_t IntField(std::string_view field, std::int32_t fallback = 0);
// The field's value; ConversionError when it is no integer.
std::int32_t StrictIntField(std::string_view field);

// The low 32 bits of `bits` as an IEEE 754 single, in fixed point with `decimals` decimals and
// the regional decimal separator, with at most 10 significant digits (digits past the tenth are
// shown as 0). The exact value of the single is rounded once, half away from zero, at the last
// shown decimal or at the tenth significant digit, whichever comes first (0.10034999996 with four
// decimals is 0.1003, 100000.03125 is 100000.0313). A value that rounds to zero has no minus sign.
// Values of 1E10 and more (in magnitude) have more than ten integer digits and are shown in
// exponent form: the ten digits without trailing zeros, "E+" and a two-digit exponent
// ("3,402823466E+38"). NaN is "NAN", infinities "INF" and "-INF".
std::string FloatBitsText(std::int64_t bits, int decimals, const RegionalFormats& formats);

// value / 10^scale in fixed point with `decimals` decimals (regional separator), computed exactly
// in decimal: the last decimal is rounded half away from zero. So 11999 mV at scale 3 with two
// decimals is "12.00", 123456 at scale 2 is "1234.56".
std::string ScaledIntText(std::int64_t value, int scale, int decimals,
                          const RegionalFormats& formats);

// A signed 8-bit value with its sign: the field's low 8 bits as -128..127, "+" in front of a
// non-negative value ("+25", "+0", "-6"); "Err" when the field is no integer.
std::string SignedByteText(std::string_view field);

// The characters packed into a 32-bit integer, most significant byte first; zero bytes above the
// lowest are skipped, the lowest is always there. Empty field -> empty text; a field that is no
// integer throws ConversionError.
std::string PackedCharsText(std::string_view field);

// "Аналоговый ", "Дискретный ", "Частотный ", "Импульсный " for A, D, F, I; empty otherwise.
const std::string& InputTypeWord(char letter);

// Row 0..5 of a sensor address among six caption fields (row order): the first caption equal to
// address + ":"; else the first free caption (":"), which takes address + ":"; else -1: all six
// rows belong to other sensors, and the caller ignores this sensor's values.
int FindSensorRow(std::string_view address, DisplayModel& display,
                  const std::array<int, 6>& captionFields);

// Day-count date-time value (days since 1899-12-30, time as day fraction) of an unsigned count of
// seconds since 1970-01-01 00:00:00, shifted back by `minutes`.
double UnixToDateTime(std::uint32_t seconds, int minutes);

}  // namespace rv
