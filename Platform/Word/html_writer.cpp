#include "html_writer.hpp"

#include "Platform/Desktop/new_document.hpp"
#include "wordml.hpp"

namespace lumora::word {

namespace {

void escapeInto(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
}

// A run property that is on: present, and not switched off by its value.
bool isOn(const xmlNode* properties, const char* name) {
    const xmlNode* flag = ml::firstChild(properties, name);
    if (!flag) return false;
    const std::string value = ml::attr(flag, "val");
    return value != "0" && value != "false" && value != "none" && value != "off";
}

class HtmlBuilder {
public:
    std::string out;

    void blocks(xmlNode* container) {
        for (xmlNode* child = container->children; child; child = child->next) {
            if (ml::is(child, "p"))
                paragraph(child);
            else if (ml::is(child, "tbl"))
                table(child);
            else if (ml::is(child, "sdt")) {
                if (xmlNode* content = ml::firstChild(child, "sdtContent")) blocks(content);
            }
        }
    }

private:
    void paragraph(xmlNode* p) {
        out += "<p>";
        inlineContent(p);
        out += "</p>\n";
    }

    void inlineContent(xmlNode* container) {
        for (xmlNode* child = container->children; child; child = child->next) {
            if (ml::is(child, "r"))
                run(child);
            else if (ml::is(child, "hyperlink") || ml::is(child, "ins") || ml::is(child, "smartTag") ||
                     ml::is(child, "fldSimple") || ml::is(child, "sdtContent") || ml::is(child, "customXml"))
                inlineContent(child);
            else if (ml::is(child, "sdt"))
                if (xmlNode* content = ml::firstChild(child, "sdtContent")) inlineContent(content);
        }
    }

    void run(xmlNode* r) {
        const xmlNode* properties = ml::firstChild(r, "rPr");
        const bool bold = isOn(properties, "b"), italic = isOn(properties, "i"), underline = isOn(properties, "u");
        std::string text;
        for (xmlNode* child = r->children; child; child = child->next) {
            if (ml::is(child, "t"))
                escapeInto(text, ml::text(child));
            else if (ml::is(child, "tab"))
                text += "&emsp;";
            else if (ml::is(child, "br") || ml::is(child, "cr"))
                text += "<br>";
        }
        if (text.empty()) return;
        if (bold) out += "<b>";
        if (italic) out += "<i>";
        if (underline) out += "<u>";
        out += text;
        if (underline) out += "</u>";
        if (italic) out += "</i>";
        if (bold) out += "</b>";
    }

    void table(xmlNode* tbl) {
        out += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n";
        for (xmlNode* row = tbl->children; row; row = row->next) {
            if (!ml::is(row, "tr")) continue;
            out += "<tr>";
            for (xmlNode* cell = row->children; cell; cell = cell->next) {
                if (!ml::is(cell, "tc")) continue;
                out += "<td>";
                blocks(cell);
                out += "</td>";
            }
            out += "</tr>\n";
        }
        out += "</table>\n";
    }
};

void storyDivision(HtmlBuilder& html, DocxDocument& document, Story* story, const char* kind) {
    if (!story) return;
    html.out += std::string("<div class=\"") + kind + "\">\n";
    html.blocks(story->root());
    for (Story* frame : document.textFrames(*story)) html.blocks(frame->root());
    html.out += "</div>\n";
}

}  // namespace

std::string documentHtml(DocxDocument& document) {
    HtmlBuilder html;
    html.out = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n</head>\n<body>\n";
    storyDivision(html, document, document.storyOfType(kPrimaryHeaderStory), "header");
    html.blocks(document.main().root());
    for (Story* frame : document.textFrames(document.main())) html.blocks(frame->root());
    storyDivision(html, document, document.storyOfType(kPrimaryFooterStory), "footer");
    html.out += "</body>\n</html>\n";
    return html.out;
}

void writeHtml(DocxDocument& document, const std::filesystem::path& file) { desktop::replaceFile(file, documentHtml(document)); }

}  // namespace lumora::word
