#include "companions/LineBreaks.h"

namespace q7 {

namespace {

std::string replaceBreaks(std::string_view text, std::string_view lineBreak) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += lineBreak;
        } else if (c == '\n') {
            out += lineBreak;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string withCrLf(std::string_view text) {
    return replaceBreaks(text, "\r\n");
}

std::string withLf(std::string_view text) {
    return replaceBreaks(text, "\n");
}

} // namespace q7
