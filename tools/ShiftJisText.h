#pragma once

// Texts for a MAG file: the user name and the comment are Shift-JIS in the
// file (code page 932), while our command line hands them over as UTF-8.

#include <string>

namespace lunidor {

enum class TextStatus {
    Ok,
    NotUtf8,     // the input is not valid UTF-8
    NoShiftJis,  // a character has no code in Shift-JIS
};

const char* describe(TextStatus status);

// Converts UTF-8 into Shift-JIS (code page 932).  On failure *offending
// names the character at fault ("U+1F600", or the bad byte "0xFF").
TextStatus toShiftJis(const std::string& utf8, std::string* shiftJis, std::string* offending);

}  // namespace lunidor
