#include "text_encoding.hpp"

#include "Automation/vb/utf8.hpp"

namespace lumora::files {

namespace {

void appendUnit(std::string& out, char16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

bool isHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

std::string toUtf16Le(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() * 2);
    for (size_t at = 0; at < utf8.size();) {
        char32_t c = vb::utf8::next(utf8, at);
        if (c >= 0x10000) {
            c -= 0x10000;
            appendUnit(out, static_cast<char16_t>(0xD800 + (c >> 10)));
            appendUnit(out, static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            appendUnit(out, static_cast<char16_t>(c));
        }
    }
    return out;
}

void Utf16LeDecoder::unit(char16_t value, std::string& out) {
    if (m_highSurrogate) {
        char16_t high = m_highSurrogate;
        m_highSurrogate = 0;
        if (isLow(value)) {
            vb::utf8::append(out, 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (value - 0xDC00));
            return;
        }
        vb::utf8::append(out, vb::utf8::kReplacement);
    }
    if (isHigh(value)) {
        m_highSurrogate = value;
    } else {
        vb::utf8::append(out, isLow(value) ? vb::utf8::kReplacement : value);
    }
}

void Utf16LeDecoder::decode(std::string_view bytes, std::string& out) {
    size_t at = 0;
    if (!m_pendingByte.empty() && !bytes.empty()) {
        unit(static_cast<char16_t>(static_cast<unsigned char>(m_pendingByte[0]) |
                                   (static_cast<unsigned char>(bytes[0]) << 8)),
             out);
        m_pendingByte.clear();
        at = 1;
    }
    for (; at + 1 < bytes.size(); at += 2)
        unit(static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8)),
             out);
    if (at < bytes.size()) m_pendingByte.assign(1, bytes[at]);
}

void Utf16LeDecoder::finish(std::string& out) {
    if (m_highSurrogate || !m_pendingByte.empty()) vb::utf8::append(out, vb::utf8::kReplacement);
    m_highSurrogate = 0;
    m_pendingByte.clear();
}

}  // namespace lumora::files
