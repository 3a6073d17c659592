// Text conversion between UTF-8 and the code pages the fixtures write.
//
// Independent of the engine's own code-page tables on purpose: the builder
// and the engine check each other. Windows-1254 is complete and lossless (its
// seven unassigned bytes map to the C1 controls of the same value); any
// other code page is accepted for ASCII text only.
#pragma once

#include <string>
#include <string_view>

namespace fixture {

// Encodes UTF-8 `text` into `codePage`. Throws std::invalid_argument for a
// character the code page cannot hold or for malformed UTF-8.
std::string encodeText(std::string_view text, int codePage);

// Decodes bytes of `codePage` into UTF-8 (the inverse of encodeText).
std::string decodeText(std::string_view bytes, int codePage);

}  // namespace fixture
