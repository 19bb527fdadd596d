#include "TextDisplay.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include <iconv.h>

namespace tool {
namespace {

void appendByteEscape(std::string* out, unsigned char byte)
{
    char escape[5];
    std::snprintf(escape, sizeof escape, "\\x%02x", byte);
    *out += escape;
}

// Appends decoded text, escaping controls and backslashes.  Bytes of 0x80
// and above belong to multi-byte UTF-8 characters and pass unchanged.
void appendShown(std::string* out, std::string_view text)
{
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\')
            *out += "\\\\";
        else if (c == '\n')
            *out += "\\n";
        else if (c == '\r')
            *out += "\\r";
        else if (c == '\t')
            *out += "\\t";
        else if (c < 0x20 || c == 0x7F)
            appendByteEscape(out, c);
        else
            *out += ch;
    }
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
    ~Iconv()
    {
        if (usable())
            ::iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool usable() const { return cd_ != reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1)); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Without a Shift-JIS converter in the C library, ASCII still shows and
// everything else is escaped, rather than guessed.
std::string displayAsciiOnly(std::string_view bytes)
{
    std::string out;
    for (const char ch : bytes) {
        if (static_cast<unsigned char>(ch) < 0x80)
            appendShown(&out, std::string_view(&ch, 1));
        else
            appendByteEscape(&out, static_cast<unsigned char>(ch));
    }
    return out;
}

// Converts as far as it can; a byte that begins no character (or an
// incomplete one at the end) is escaped and conversion resumes after it,
// so the bytes that follow are not lost.
std::string displayDecoded(const char* encoding, std::string_view bytes)
{
    const Iconv cd("UTF-8", encoding);
    if (!cd.usable())
        return displayAsciiOnly(bytes);
    std::string input(bytes);
    char* in = input.data();
    std::size_t inLeft = input.size();
    std::string out;
    while (inLeft > 0) {
        char buffer[256];
        char* produced = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t result = ::iconv(cd.get(), &in, &inLeft, &produced, &room);
        const int error = errno;
        appendShown(&out, std::string_view(buffer, static_cast<std::size_t>(produced - buffer)));
        if (result != static_cast<std::size_t>(-1) || error == E2BIG)
            continue;
        appendByteEscape(&out, static_cast<unsigned char>(*in));
        ++in;
        --inLeft;
        ::iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace

std::string displayShiftJis(std::string_view bytes) { return displayDecoded("CP932", bytes); }

std::string displayUtf8(std::string_view bytes) { return displayDecoded("UTF-8", bytes); }

std::string jsonString(std::string_view utf8)
{
    std::string out = "\"";
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char escape[7];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

}  // namespace tool
