#include "text_encoding.hpp"

#include <unicode/ucnv.h>

#include <string>

#include "Automation/vb/text.hpp"

namespace lumora::xml {

std::string charsetOf(std::string_view contentType) {
    std::string lower = vb::asciiLower(contentType);
    size_t at = lower.find("charset=");
    if (at == std::string::npos) return {};
    std::string_view value = std::string_view(contentType).substr(at + 8);
    size_t end = value.find(';');
    value = value.substr(0, end);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')) value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::string decodeText(std::string_view bytes, std::string_view charset) {
    std::string from(charset);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
    if (bytes.substr(0, 2) == "\xFF\xFE") from = "UTF-16LE", bytes.remove_prefix(2);
    else if (bytes.substr(0, 2) == "\xFE\xFF") from = "UTF-16BE", bytes.remove_prefix(2);
    std::string lower = vb::asciiLower(from);
    if (lower.empty() || lower == "utf-8" || lower == "utf8" || lower == "us-ascii") return std::string(bytes);

    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = ucnv_convert("UTF-8", from.c_str(), nullptr, 0, bytes.data(),
                                  static_cast<int32_t>(bytes.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return std::string(bytes);
    std::string out(static_cast<size_t>(needed), '\0');
    status = U_ZERO_ERROR;
    ucnv_convert("UTF-8", from.c_str(), out.data(), needed, bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING) return std::string(bytes);
    return out;
}

}  // namespace lumora::xml
