#include "vcl/SysUtils.h"

namespace {

constexpr const char* kPathDelimiters = "/";

}  // namespace

AnsiString ExtractFileName(const AnsiString& FileName)
{
    const auto separator = FileName.find_last_of(kPathDelimiters);
    return separator == AnsiString::npos ? FileName : FileName.substr(separator + 1);
}
