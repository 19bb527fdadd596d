#pragma once

// The seed corpus: small MAG files made by our own builder, well-formed ones
// of both colour modes and several geometries, and one file for each kind of
// malformation the converter must survive.  fuzz/corpus/ holds them as
// files; `make corpus` writes them anew and a test checks the two agree.
//
// File names tell what the converter does with each file:
//   ok-   well-formed; converts
//   odd-  malformed or unusual, converts all the same by the rules the
//         converter keeps (copies from outside the picture, areas that
//         overrun into what follows them, ...)
//   bad-  refused, with the reason in `expected`

#include "mag/MagStatus.h"
#include "support/MagBuilder.h"

#include <string>
#include <vector>

namespace magcorpus {

struct SeedFile {
    std::string name;  // file name in the corpus directory, ending ".mag"
    magtest::Bytes bytes;
    mag::Status expected;  // what the buffer-level conversion returns
};

std::vector<SeedFile> seedCorpus();

}  // namespace magcorpus
