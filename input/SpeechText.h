// How a long text is read aloud: in pieces the speech engine takes whole,
// split where a reader pauses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// Splits `text` (UTF-16) into pieces of at most `maxUtf8Bytes` in UTF-8, a
// line break or tab counted as the pause "、" it is read as. Each piece is
// the longest run that fits, cut after its last sentence end (。！？!?, with
// the closing brackets after it) or line break, else after its last clause
// end (、，,), else after its last whole character; a character larger than
// the limit is a piece of its own. The line breaks between pieces are
// dropped; no piece is empty.
std::vector<std::u16string> SplitForSpeech(std::u16string_view text, int maxUtf8Bytes);

}  // namespace velkor
