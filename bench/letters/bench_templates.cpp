#include "bench_templates.hpp"

#include <nlohmann/json.hpp>

#include <vector>

#include "Host/sample_package.hpp"

namespace lumora::bench {

namespace {

// About a page of running text at 11 points: 30 paragraphs of some 90 characters.
constexpr int kParagraphsPerPage = 30;
constexpr std::string_view kFiller =
    "We write to confirm the details of your account and the services agreed with our team. ";

std::string tagName(int index) { return "FIELD" + std::to_string(index); }

}  // namespace

LetterTemplate writeLetterTemplate(const std::filesystem::path& folder, int pages, int tags, size_t valueLength) {
    const int paragraphCount = pages == 0 ? 1 : pages * kParagraphsPerPage;
    std::vector<std::string> extra(static_cast<size_t>(paragraphCount));
    for (int tag = 0; tag < tags; ++tag)
        extra[static_cast<size_t>(static_cast<long>(tag) * paragraphCount / tags)] += " <" + tagName(tag) + ">";
    std::string body;
    for (const std::string& tagsHere : extra) body += host::paragraph(host::run(std::string(kFiller) + tagsHere));

    LetterTemplate out;
    out.path = folder / (std::to_string(pages) + "p-" + std::to_string(tags) + "t-" + std::to_string(valueLength) + "c.docx");
    host::writePackage(out.path, host::templateParts(body));

    nlohmann::json values = nlohmann::json::object();
    std::string fields;
    std::string entries;
    for (int tag = 0; tag < tags; ++tag) {
        std::string value = "Value " + std::to_string(tag);
        while (value.size() < valueLength) value += " account";
        fields += "<field name=\"f" + std::to_string(tag) + "\" templatetag=\"" + tagName(tag) + "\"/>";
        entries += "<entry fieldname=\"f" + std::to_string(tag) + "\" value=\"" + value + "\"/>";
        values[tagName(tag)] = value;
    }
    out.recordXml = "<Data>" + fields + "<Data>" + entries + "</Data></Data>";
    out.valuesJson = values.dump();
    return out;
}

LetterTemplate writeNestedTagTemplate(const std::filesystem::path& folder, int occurrences) {
    LetterTemplate out;
    out.path = folder / ("nested-" + std::to_string(occurrences) + ".docx");
    host::writePackage(out.path, host::templateParts(host::paragraph(host::run("Dear <A>"))));
    std::string holdingB;
    for (int i = 0; i < occurrences; ++i) holdingB += "&lt;B&gt; ";
    out.recordXml = R"(<Data><field name="a" templatetag="A"/><field name="b" templatetag="B"/><Data>)"
                    R"(<entry fieldname="a" value=")" + holdingB + R"("/><entry fieldname="b" value="Value"/></Data></Data>)";
    return out;
}

}  // namespace lumora::bench
