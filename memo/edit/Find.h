#pragma once
// Searching the document's bytes, as the rich-edit find message does:
// byte-wise, a match only at character boundaries, letters compared without
// regard to case unless asked (ASCII and full-width Latin letters), and
// optionally whole words only.

#include "memo/text/TextBuffer.h"

#include <cstdint>
#include <string_view>

namespace kp::memo {

struct FindOptions {
    bool matchCase = false;
    bool wholeWord = false;
};

// The offset of the first match that lies wholly inside [from, to), or -1.
// When to < from the search runs backward: the last match inside [to, from).
int64_t FindInText(const TextBuffer& text, size_t from, size_t to, std::string_view pattern,
                   FindOptions options);

}  // namespace kp::memo
