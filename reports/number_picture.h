// Numbers as a report column shows them: with a display picture such as
// "999,999.99" or "@E 9,999.99", or plainly. A number that does not fit shows
// as asterisks, never as wrong digits.
#pragma once

#include <QString>

// The number under the picture: "9" and "#" are digits, the first "." the
// decimal point, "," a group separator (blank before the first digit), other
// characters stand as written. Functions: @E swaps point and comma, @Z shows
// zero as blanks. A picture without digit positions gives the plain number.
QString FormatNumberPicture(double number, const QString& picture);

// The number right-aligned in width characters, with or without a picture.
// Without one, decimals >= 0 prints that many decimals (a field's number
// reads as it is stored: 12.50); -1 prints no needless ones.
QString NumberCell(double number, const QString& picture, int width, int decimals = -1);
