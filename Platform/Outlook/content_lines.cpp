#include "content_lines.hpp"

#include <algorithm>
#include <cctype>

namespace lumora::pim {

namespace {

struct PhysicalLine {
    std::string_view text;  // without its line end
    std::string_view raw;   // with it
};

// "\r\n", "\n" and "\r" all end a line.
std::vector<PhysicalLine> physicalLines(std::string_view text) {
    std::vector<PhysicalLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        size_t next = end;
        if (next < text.size() && text[next] == '\r') ++next;
        if (next < text.size() && text[next] == '\n') ++next;
        lines.push_back({text.substr(start, end - start), text.substr(start, next - start)});
        start = next;
    }
    return lines;
}

bool hasQuotedPrintable(std::string_view line) {
    std::string head(line.substr(0, line.find(':')));
    std::transform(head.begin(), head.end(), head.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return head.find("QUOTED-PRINTABLE") != std::string::npos;
}

// The raw span from the start of one line to the end of another of the same text.
std::string_view spanning(std::string_view first, std::string_view last) {
    return std::string_view(first.data(), static_cast<size_t>(last.data() + last.size() - first.data()));
}

}  // namespace

std::vector<LogicalLine> logicalLines(std::string_view text, SoftBreaks softBreaks) {
    std::vector<LogicalLine> logical;
    for (const PhysicalLine& line : physicalLines(text)) {
        if (!logical.empty() && !line.text.empty() && (line.text[0] == ' ' || line.text[0] == '\t')) {
            logical.back().text.append(line.text.substr(1));
            logical.back().raw = spanning(logical.back().raw, line.raw);
            continue;
        }
        if (softBreaks == SoftBreaks::Joined && !logical.empty() && !logical.back().text.empty() &&
            logical.back().text.back() == '=' && hasQuotedPrintable(logical.back().text)) {
            logical.back().text.pop_back();
            logical.back().text.append(line.text);
            logical.back().raw = spanning(logical.back().raw, line.raw);
            continue;
        }
        if (!line.text.empty()) logical.push_back({std::string(line.text), line.raw});
    }
    return logical;
}

std::string propertyNameOf(std::string_view line) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return {};
    std::string_view name = line.substr(0, std::min(colon, line.find(';')));
    if (const size_t dot = name.rfind('.'); dot != std::string_view::npos) name.remove_prefix(dot + 1);
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

size_t valueStartOf(std::string_view line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ':' && !quoted) return i + 1;
    }
    return std::string_view::npos;
}

std::string withCrLfEnds(std::string_view raw) {
    std::string out;
    for (const PhysicalLine& line : physicalLines(raw)) out.append(line.text).append("\r\n");
    return out;
}

std::string escapedText(std::string_view text, Semicolons semicolons) {
    std::string out;
    for (const char c : text) {
        if (c == '\r') continue;
        if (c == '\n') out += "\\n";
        else if (c == '\\' || c == ',' || (semicolons == Semicolons::Escaped && c == ';')) (out += '\\') += c;
        else out += c;
    }
    return out;
}

std::string unescapedText(std::string_view raw) {
    std::string text;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            const char next = raw[++i];
            text += (next == 'n' || next == 'N') ? '\n' : next;
        } else {
            text += raw[i];
        }
    }
    return text;
}

void appendFolded(std::string& out, std::string_view line) {
    size_t start = 0, width = 75;
    while (line.size() - start > width) {
        size_t cut = start + width;
        while (cut > start && (static_cast<unsigned char>(line[cut]) & 0xc0) == 0x80) --cut;
        out.append(line.substr(start, cut - start)).append("\r\n ");
        start = cut;
        width = 74;  // the blank that starts a continuation counts
    }
    out.append(line.substr(start)).append("\r\n");
}

}  // namespace lumora::pim
