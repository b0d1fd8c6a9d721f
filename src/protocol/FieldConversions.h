#pragma once
// Conversions of reply field texts into shown values: integers, IEEE single bit patterns, scaled
// integers, signed bytes, characters packed into an integer and the unit's clock. Fields are
// Windows-1251 byte strings cut by the reply scanner; a field that must be a number and is none
// raises ConversionError, which ends the decoding of its block.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "text/RegionalFormats.h"

namespace rv {

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

// A field holding the bits of an IEEE single as a 64-bit decimal integer, shown as FloatBitsText
// does. A field that is no 64-bit decimal integer throws ConversionError.
std::string FloatBitsField(std::string_view field, int decimals, const RegionalFormats& formats);

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

// Day-count date-time value (days since 1899-12-30, time as day fraction) of an unsigned count of
// seconds since 1970-01-01 00:00:00, shifted back by `minutes`.
double UnixToDateTime(std::uint32_t seconds, int minutes);

}  // namespace rv
