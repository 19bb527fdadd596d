#pragma once

namespace mag {

// Results of the header reader, as the converter's callers have always
// received them.
enum HeaderResult : int {
    kHeaderOk = 0,            // valid, every data area within the bytes held
    kHeaderAreasPastEnd = 1,  // valid, but a data area reaches past them
    kHeaderMissing = 2,       // no 0x1A byte, or no room for the header after it
    kHeaderNotMag = 3,        // the signature is not "MAKI02  "
    kHeaderUnusable = 4,      // headTop not 0, or an extent the record cannot carry
};

// Why a conversion failed, for the command-line tool and the viewer.
enum class Status {
    Ok,
    CannotOpen,
    CannotRead,
    TooLarge,
    OutOfMemory,
    NoHeader,
    NotMag,
    HeaderUnusable,
    AreasPastEnd,
    PalettePastEnd,
    ImageTooSmall,
    CannotWrite,
};

// A short reason in plain words, e.g. "not a MAG file".
const char* describe(Status status);

// The failure that a header result other than kHeaderOk stands for.
Status statusOfHeaderResult(int result);

}  // namespace mag
