#pragma once

#include <string>

// The component library's byte string.  Paths and texts are kept as the
// platform's bytes (UTF-8 here), exactly as the library kept code page bytes.
using AnsiString = std::string;
