#pragma once

#include "vcl/AnsiString.h"
#include "vcl/TObject.h"

#include <exception>

// The root of the library's exceptions.  Deriving from std::exception too
// lets code that knows nothing of the library still report it.
class Exception : public TObject, public std::exception {
public:
    explicit Exception(AnsiString Msg) : Message(std::move(Msg)) {}
    const char* what() const noexcept override { return Message.c_str(); }

    AnsiString Message;
};

// The part of a path after its last separator, or the whole path when it
// has none.  The separator is the platform's ('/'); it never occurs inside
// a multi-byte character of UTF-8, so a name like "表.mag" comes out whole.
AnsiString ExtractFileName(const AnsiString& FileName);
