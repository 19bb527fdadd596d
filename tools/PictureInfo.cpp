#include "PictureInfo.h"

#include "MagPicture.h"
#include "TextDisplay.h"
#include "mag/Mag.h"

#include <new>
#include <string_view>
#include <vector>

namespace tool {
namespace {

constexpr std::size_t kMachineNameBytes = 4;
constexpr std::size_t kUserNameBytes = 19;
constexpr std::uint32_t kCommentStart = 31;

// A name field is padded to its size with blanks or NULs; a NUL inside it
// is kept, to be shown escaped.
std::string_view withoutPadding(const char* field, std::size_t size)
{
    std::string_view name(field, size);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0'))
        name.remove_suffix(1);
    return name;
}

// The comment runs from offset 31 to the 0x1A before the header and may
// hold NULs of its own, so its length comes from the header's place.
std::string commentOf(const std::vector<std::uint8_t>& file, std::uint32_t size, const MMAG_INFO& header)
{
    const std::size_t length = header.headerOffset > kCommentStart + 1 ? header.headerOffset - kCommentStart - 1 : 0;
    std::vector<char> comment(length + 1);
    mag::getPalette(file.data(), nullptr, comment.data(), size, &header);
    return std::string(comment.data(), length);
}

// Standard input must be read whole; a file is read up to its header.
mag::Status readHeadBytes(const std::string& name, std::vector<std::uint8_t>* bytes, std::uint32_t* size)
{
    if (isStandardStream(name))
        return readInput(name, bytes, size);
    if (mag::Status s = mag::readProbeBytes(name.c_str(), bytes); s != mag::Status::Ok)
        return s;
    *size = static_cast<std::uint32_t>(bytes->size());
    return mag::Status::Ok;
}

void fill(const MMAG_INFO& header, const std::string& comment, PictureInfo* info)
{
    info->colours = mag::is256Colour(header) ? 256 : 16;
    info->tallPixels = hasTallPixels(header);
    info->x = header.startX;
    info->y = header.startY;
    info->width = std::int64_t{header.endX} - header.startX + 1;
    info->height = std::int64_t{header.endY} - header.startY + 1;
    info->machine = displayShiftJis(withoutPadding(header.machineName, kMachineNameBytes));
    info->user = displayShiftJis(withoutPadding(header.userName, kUserNameBytes));
    info->comment = displayShiftJis(comment);
}

}  // namespace

mag::Status readPictureInfo(const std::string& name, PictureInfo* info)
{
    try {
        std::vector<std::uint8_t> bytes;
        std::uint32_t size = 0;
        if (mag::Status s = readHeadBytes(name, &bytes, &size); s != mag::Status::Ok)
            return s;
        MMAG_INFO header{};
        const int result = mag::getHeader(bytes.data(), size, &header);
        if (result != mag::kHeaderOk && result != mag::kHeaderAreasPastEnd)
            return mag::statusOfHeaderResult(result);
        fill(header, commentOf(bytes, size, header), info);
        return mag::Status::Ok;
    } catch (const std::bad_alloc&) {
        return mag::Status::OutOfMemory;
    }
}

std::string infoAsText(const std::string& name, const PictureInfo& info)
{
    return displayUtf8(name) + "\n" +
           "  colours:  " + std::to_string(info.colours) + "\n" +
           "  200-line: " + (info.tallPixels ? "yes" : "no") + "\n" +
           "  position: " + std::to_string(info.x) + "," + std::to_string(info.y) + "\n" +
           "  size:     " + std::to_string(info.width) + "x" + std::to_string(info.height) + "\n" +
           "  machine:  " + info.machine + "\n" +
           "  user:     " + info.user + "\n" +
           "  comment:  " + info.comment + "\n";
}

std::string infoAsJson(const std::string& name, const PictureInfo& info)
{
    return "{\"file\":" + jsonString(displayUtf8(name)) +
           ",\"colours\":" + std::to_string(info.colours) +
           ",\"lines200\":" + (info.tallPixels ? "true" : "false") +
           ",\"x\":" + std::to_string(info.x) + ",\"y\":" + std::to_string(info.y) +
           ",\"width\":" + std::to_string(info.width) + ",\"height\":" + std::to_string(info.height) +
           ",\"machine\":" + jsonString(info.machine) + ",\"user\":" + jsonString(info.user) +
           ",\"comment\":" + jsonString(info.comment) + "}\n";
}

}  // namespace tool
