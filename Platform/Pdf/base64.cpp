#include "base64.hpp"

#include <array>
#include <cstdint>

namespace lumora::pdf {

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int8_t kNotInAlphabet = -1;

constexpr std::array<int8_t, 256> decodingTable() {
    std::array<int8_t, 256> table{};
    table.fill(kNotInAlphabet);
    for (size_t i = 0; i < kAlphabet.size(); ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
    return table;
}

constexpr std::array<int8_t, 256> kDecoding = decodingTable();

}  // namespace

std::string base64Encode(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16 |
                               static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8 |
                               static_cast<unsigned char>(bytes[i + 2]);
        for (int shift : {18, 12, 6, 0}) text += kAlphabet[(group >> shift) & 0x3F];
    }
    const size_t left = bytes.size() - i;
    if (left > 0) {
        uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
        if (left == 2) group |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        text += kAlphabet[(group >> 18) & 0x3F];
        text += kAlphabet[(group >> 12) & 0x3F];
        text += left == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=';
        text += '=';
    }
    return text;
}

std::optional<std::string> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    uint32_t group = 0;
    int filled = 0;
    for (size_t i = 0; i < text.size() - padding; ++i) {
        const int8_t value = kDecoding[static_cast<unsigned char>(text[i])];
        if (value == kNotInAlphabet) return std::nullopt;
        group = group << 6 | static_cast<uint32_t>(value);
        if (++filled == 4) {
            bytes += static_cast<char>(group >> 16);
            bytes += static_cast<char>(group >> 8 & 0xFF);
            bytes += static_cast<char>(group & 0xFF);
            group = 0;
            filled = 0;
        }
    }
    if (filled == 3) {
        bytes += static_cast<char>(group >> 10);
        bytes += static_cast<char>(group >> 2 & 0xFF);
    } else if (filled == 2) {
        bytes += static_cast<char>(group >> 4);
    }
    return bytes;
}

}  // namespace lumora::pdf
