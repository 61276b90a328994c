#include "tasks/displaytext.h"

namespace {

// The bytes that continue a character in UTF-8 (10xxxxxx); a character starts at any other.
constexpr bool ContinuesACharacter(char c) {
    constexpr unsigned char kTopBits = 0xC0;
    constexpr unsigned char kContinuation = 0x80;
    return (static_cast<unsigned char>(c) & kTopBits) == kContinuation;
}

constexpr std::string_view kEllipsis = "...";

}  // namespace

std::string DisplayText(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) {
        return std::string(text);
    }
    std::size_t cut = limit;
    // Back up to the start of the character the limit falls in. A character has at most four
    // bytes, so text that is not UTF-8 at all loses no more than three.
    for (int back = 0; back < 3 && cut > 0 && ContinuesACharacter(text[cut]); ++back) {
        --cut;
    }
    if (ContinuesACharacter(text[cut])) {
        cut = limit;  // not UTF-8: every byte is a character of its own
    }
    std::string shown(text.substr(0, cut));
    shown += kEllipsis;
    return shown;
}
