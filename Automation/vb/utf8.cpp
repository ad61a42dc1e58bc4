#include "utf8.hpp"

namespace lumora::vb::utf8 {

namespace {

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the well-formed sequence starting at `offset`, or 0 when the byte there does
// not begin one. The ranges are those of the Unicode Standard, table 3-7: no overlong forms,
// no surrogates, nothing beyond U+10FFFF.
size_t sequenceLength(std::string_view text, size_t offset) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(text[offset + i]); };
    const size_t available = text.size() - offset;
    const unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    size_t length = 0;
    unsigned char secondLow = 0x80, secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) secondLow = 0xA0;
        if (lead == 0xED) secondHigh = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) secondLow = 0x90;
        if (lead == 0xF4) secondHigh = 0x8F;
    } else {
        return 0;
    }
    if (available < length || at(1) < secondLow || at(1) > secondHigh) return 0;
    for (size_t i = 2; i < length; ++i)
        if (!isContinuation(at(i))) return 0;
    return length;
}

}  // namespace

char32_t next(std::string_view text, size_t& offset) {
    const size_t length = sequenceLength(text, offset);
    const auto byte = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(text[offset + i])); };
    char32_t c;
    switch (length) {
        case 1: c = byte(0); break;
        case 2: c = ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F); break;
        case 3: c = ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F); break;
        case 4:
            c = ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
            break;
        default: ++offset; return kReplacement;
    }
    offset += length;
    return c;
}

void append(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::u32string decode(std::string_view text) {
    // Every code point takes at least one byte, so the text's size bounds the result; ASCII,
    // nearly all of what documents and records hold, is copied across without sequence checks.
    std::u32string out(text.size(), U'\0');
    size_t count = 0;
    for (size_t offset = 0; offset < text.size();) {
        const auto byte = static_cast<unsigned char>(text[offset]);
        if (byte < 0x80) {
            out[count++] = byte;
            ++offset;
        } else {
            out[count++] = next(text, offset);
        }
    }
    out.resize(count);
    return out;
}

std::string encode(std::u32string_view codePoints) {
    std::string out;
    out.reserve(codePoints.size());
    for (char32_t c : codePoints) {
        if (c < 0x80)
            out.push_back(static_cast<char>(c));
        else
            append(out, c);
    }
    return out;
}

size_t length(std::string_view text) {
    size_t count = 0;
    for (size_t offset = 0; offset < text.size(); ++count) next(text, offset);
    return count;
}

size_t offsetOf(std::string_view text, size_t count) {
    size_t offset = 0;
    for (; count > 0 && offset < text.size(); --count) next(text, offset);
    return offset;
}

bool isWellFormed(std::string_view text) {
    for (size_t offset = 0; offset < text.size();) {
        const size_t length = sequenceLength(text, offset);
        if (length == 0) return false;
        offset += length;
    }
    return true;
}

std::string wellFormed(std::string_view text) {
    if (isWellFormed(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t offset = 0; offset < text.size();) append(out, next(text, offset));
    return out;
}

}  // namespace lumora::vb::utf8
