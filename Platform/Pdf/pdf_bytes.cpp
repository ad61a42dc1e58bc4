#include "pdf_bytes.hpp"

#include <cctype>
#include <cstdio>
#include <vector>

namespace lumora::pdf {

namespace {

constexpr std::string_view kSignature = "%PDF-";

// Whether a name ends at `at`: the next character is not a regular one (ISO 32000-1, 7.2.2).
bool nameEndsAt(std::string_view bytes, size_t at) {
    if (at >= bytes.size()) return true;
    const auto c = static_cast<unsigned char>(bytes[at]);
    return std::isspace(c) || std::string_view("()<>[]{}/%").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

bool looksLikePdf(std::string_view bytes) { return bytes.starts_with(kSignature); }

int countPages(std::string_view bytes) {
    // "/Type /Page" with any white space between the two names, and "/Page" not the start of
    // a longer name such as "/Pages".
    int pages = 0;
    for (size_t at = bytes.find("/Type"); at != std::string_view::npos; at = bytes.find("/Type", at + 1)) {
        size_t next = at + 5;
        if (!nameEndsAt(bytes, next)) continue;
        while (next < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[next]))) ++next;
        if (bytes.substr(next, 5) == "/Page" && nameEndsAt(bytes, next + 5)) ++pages;
    }
    return pages;
}

std::string blankPdf() {
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << >> >>",
    };
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t table = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const size_t offset : offsets) {
        char entry[21];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(table) + "\n%%EOF\n";
    return pdf;
}

}  // namespace lumora::pdf
