#pragma once
// Line breaks of the program's text files. Files may come with CR LF, lone LF or lone
// CR; the program counts and writes CR LF, the text widgets want LF.
#include <string>
#include <string_view>

namespace q7 {

// Every line break (CR LF, lone LF, lone CR) becomes CR LF.
std::string withCrLf(std::string_view text);

// Every line break becomes a single LF.
std::string withLf(std::string_view text);

} // namespace q7
