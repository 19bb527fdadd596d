// UTF-8 to Shift-JIS through the C library's iconv, with code page 932's
// table (the one PC-98 era Japanese Windows used).  No transliteration: a
// character without a code is an error, never a silent substitute.

#include "ShiftJisText.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include <iconv.h>

namespace lunidor {
namespace {

class Converter {
public:
    Converter() : cd_(iconv_open("CP932", "UTF-8")) {}
    ~Converter()
    {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// The code point of the well-formed UTF-8 sequence at s[0, n), or -1.
long decodeUtf8(const unsigned char* s, std::size_t n)
{
    if (n == 0)
        return -1;
    const unsigned char lead = s[0];
    std::size_t length = 0;
    long cp = 0;
    if (lead < 0x80)
        return lead;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return -1;
    }
    if (n < length)
        return -1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return -1;
        cp = cp << 6 | (s[i] & 0x3F);
    }
    static const long kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    return cp;
}

std::string name(const unsigned char* s, std::size_t n)
{
    char text[24];
    const long cp = decodeUtf8(s, n);
    if (cp < 0)
        std::snprintf(text, sizeof text, "0x%02X", n == 0 ? 0u : unsigned{s[0]});
    else
        std::snprintf(text, sizeof text, "U+%04lX", static_cast<unsigned long>(cp));
    return text;
}

}  // namespace

const char* describe(TextStatus status)
{
    switch (status) {
    case TextStatus::Ok: return "ok";
    case TextStatus::NotUtf8: return "text is not valid UTF-8";
    case TextStatus::NoShiftJis: return "character has no Shift-JIS code";
    }
    return "unknown failure";
}

TextStatus toShiftJis(const std::string& utf8, std::string* shiftJis, std::string* offending)
{
    shiftJis->clear();
    Converter converter;
    if (!converter.ok())
        return TextStatus::NoShiftJis;
    // iconv wants non-const pointers but leaves the input alone.
    std::string in = utf8;
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    // Shift-JIS never takes more bytes than UTF-8 for the same text; the
    // spare room only keeps a surprise from looking like bad input.
    std::string out(2 * in.size() + 4, '\0');
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (iconv(converter.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        const auto* at = reinterpret_cast<const unsigned char*>(inPtr);
        const bool wellFormed = errno == EILSEQ && decodeUtf8(at, inLeft) >= 0;
        if (offending != nullptr)
            *offending = name(at, inLeft);
        return wellFormed ? TextStatus::NoShiftJis : TextStatus::NotUtf8;
    }
    out.resize(out.size() - outLeft);
    *shiftJis = std::move(out);
    return TextStatus::Ok;
}

}  // namespace lunidor
