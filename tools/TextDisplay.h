#pragma once

// Text taken from files, made readable and safe to print.  MAG files carry
// their names and comments in Shift-JIS (code page 932); they are decoded to
// UTF-8, and whatever would not show, or not show unambiguously, is written
// as an escape:
//   \xNN        a byte that is not part of any character (two hex digits)
//   \n \r \t    line feed, carriage return, tab
//   \xNN        any other control character
//   \\          a backslash
// so every byte of the original can be told from the result.

#include <string>
#include <string_view>

namespace tool {

std::string displayShiftJis(std::string_view bytes);

// The same for names already meant to be UTF-8, such as file names.
std::string displayUtf8(std::string_view bytes);

// A JSON string literal, quotes included, of valid UTF-8 text.
std::string jsonString(std::string_view utf8);

}  // namespace tool
