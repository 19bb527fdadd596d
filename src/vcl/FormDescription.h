#pragma once

// The stored description of a form, in the library's text form:
//
//   object Form1: TForm1
//     Caption = 'Lunidor'
//     Font.Style = []
//     object Image1: TImage
//       AutoSize = True
//     end
//   end
//
// Values are integers, 'quoted strings' (a doubled quote stands for one),
// identifiers (True, False, enumeration values, names of components and
// handlers) and sets of identifiers in brackets.  Strings hold UTF-8.

#include "vcl/AnsiString.h"

#include <cstdint>
#include <string_view>
#include <vector>

class TFormValue {
public:
    enum class Kind { Integer, String, Identifier, Set };

    static TFormValue Integer(std::int64_t value);
    static TFormValue String(AnsiString text);
    static TFormValue Identifier(AnsiString name);
    static TFormValue Set(std::vector<AnsiString> names);

    Kind GetKind() const { return kind_; }

    // Each throws an Exception saying what was expected when the value is
    // of another kind (or out of range).
    int AsInteger() const;
    const AnsiString& AsString() const;
    const AnsiString& AsIdentifier() const;
    bool AsBoolean() const;
    const std::vector<AnsiString>& AsSet() const;

private:
    TFormValue(Kind kind) : kind_(kind) {}

    Kind kind_;
    std::int64_t integer_ = 0;
    AnsiString text_;
    std::vector<AnsiString> names_;
};

struct TFormObject {
    struct Assignment {
        AnsiString Name;  // may be dotted: Font.Height
        TFormValue Value;
        int Line;
    };

    AnsiString Name;
    AnsiString ClassName;
    int Line = 0;
    std::vector<Assignment> Properties;
    std::vector<TFormObject> Children;
};

// Reads the text of a description.  Throws an Exception naming the line
// and what was wrong there.
TFormObject ParseFormDescription(std::string_view text);
