#pragma once

#include <QString>

namespace halvex {

// The number at the start of a text: blanks anywhere are ignored, then an optional "-", digits
// and at most one "."; a text without such a number gives 0.
double leadingNumber(const QString& text);

// True when the text, surrounding blanks trimmed, is a whole decimal number: an optional sign,
// digits with at most one point, and an optional exponent.
bool isNumeric(const QString& text);

// The value of a numeric text; anything else throws a type-mismatch Failure.
double numericValue(const QString& text);

// The same as a single; a value beyond the single range throws an overflow Failure.
float singleValue(const QString& text);
// A double stored as a single, with the same overflow check.
float toSingle(double value);

// Round to nearest, halves to the even neighbour; out of range throws an overflow Failure.
qint32 roundToInt32(double value);
qint16 roundToInt16(double value);

// A value printed with a fixed number of decimals ("0.0000" is fixed(v, 4)).
QString fixed(double value, int decimals);

} // namespace halvex
