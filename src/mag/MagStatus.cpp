#include "mag/MagStatus.h"

namespace mag {

const char* describe(Status status)
{
    switch (status) {
    case Status::Ok: return "ok";
    case Status::CannotOpen: return "cannot open";
    case Status::CannotRead: return "cannot read";
    case Status::TooLarge: return "file too large";
    case Status::OutOfMemory: return "out of memory";
    case Status::NoHeader: return "no header";
    case Status::NotMag: return "not a MAG file";
    case Status::HeaderUnusable: return "header not usable";
    case Status::AreasPastEnd: return "data areas reach past the end of the file";
    case Status::PalettePastEnd: return "palette reaches past the end of the file";
    case Status::ImageTooSmall: return "image buffer too small";
    case Status::CannotWrite: return "cannot write the output";
    }
    return "unknown failure";
}

Status statusOfHeaderResult(int result)
{
    switch (result) {
    case kHeaderOk: return Status::Ok;
    case kHeaderAreasPastEnd: return Status::AreasPastEnd;
    case kHeaderMissing: return Status::NoHeader;
    case kHeaderNotMag: return Status::NotMag;
    default: return Status::HeaderUnusable;
    }
}

}  // namespace mag
