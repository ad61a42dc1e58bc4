#include "html_writer.hpp"

#include <libxml/tree.h>

#include "html_escape.hpp"
#include "html_links.hpp"
#include "html_styles.hpp"
#include "html_tables.hpp"
#include "style_sheet.hpp"
#include "web_page_files.hpp"
#include "wordml.hpp"

namespace lumora::word {

namespace {

// The runs of one paragraph as they are written: neighbouring runs that look alike share one
// set of markup, as the word processor splits runs for reasons a reader never sees.
class RunSink {
public:
    RunSink(std::string& out, const RunFormat& paragraphText) : m_out(out), m_paragraphText(paragraphText) {}
    const RunFormat& paragraphText() const { return m_paragraphText; }
    bool wroteVisible() const { return m_visible; }

    void write(const RunMarkup& markup, std::string_view html) {
        if (!m_open || m_markup.open != markup.open) {
            flush();
            m_out += markup.open;
            m_markup = markup;
            m_open = true;
        }
        m_out += html;
        m_visible = true;
    }
    // Markup of its own (a link, an anchor) follows: the open run ends here.
    void flush() {
        if (m_open) m_out += m_markup.close;
        m_open = false;
    }
    std::string& out() { return m_out; }

private:
    std::string& m_out;
    const RunFormat& m_paragraphText;
    RunMarkup m_markup;
    bool m_open = false;
    bool m_visible = false;
};

class HtmlBuilder {
public:
    HtmlBuilder(const Package& package, StyleSheet& styles, PageImages& images)
        : m_package(package), m_styles(styles), m_images(images) {}

    std::string out;

    void story(DocxDocument& document, Story& story) {
        m_relationships = PartRelationships::read(m_package, story.part()->name);
        blocks(story.root());
        for (Story* frame : document.textFrames(story)) blocks(frame->root());
    }

private:
    void blocks(xmlNode* container) {
        for (xmlNode* child = container->children; child; child = child->next) {
            if (ml::is(child, "p"))
                paragraph(child);
            else if (ml::is(child, "tbl"))
                table(child);
            else if (ml::is(child, "sdt") || ml::is(child, "customXml")) {
                if (xmlNode* content = ml::is(child, "sdt") ? ml::firstChild(child, "sdtContent") : child) blocks(content);
            }
        }
    }

    void paragraph(xmlNode* p) {
        const xmlNode* pPr = ml::firstChild(p, "pPr");
        const StyleSheet::ParagraphLook& look = m_styles.paragraphStyle(styleIdOf(pPr, "pStyle"));
        ParagraphFormat format = look.paragraph;
        format.overlay(readParagraphFormat(pPr));
        RunFormat text = look.run;
        std::string content;
        RunSink sink(content, text);
        inlineContent(p, sink);
        sink.flush();
        if (!sink.wroteVisible()) {
            // An empty paragraph is a line as high as its mark's text, which a browser would
            // collapse to nothing.
            text.overlay(readRunFormat(ml::firstChild(pPr, "rPr"), m_styles.theme()));
            content += "&nbsp;";
        }
        out += "<p style=\"" + escaped(paragraphCss(format, text)) + "\">";
        out += content;
        out += "</p>\n";
    }

    void inlineContent(xmlNode* container, RunSink& sink) {
        for (xmlNode* child = container->children; child; child = child->next) {
            if (ml::is(child, "r"))
                run(child, sink);
            else if (ml::is(child, "hyperlink"))
                hyperlink(child, sink);
            else if (ml::is(child, "bookmarkStart"))
                bookmark(child, sink);
            else if (ml::is(child, "ins") || ml::is(child, "smartTag") || ml::is(child, "fldSimple") ||
                     ml::is(child, "customXml") || ml::is(child, "dir") || ml::is(child, "bdo"))
                inlineContent(child, sink);
            else if (ml::is(child, "sdt"))
                if (xmlNode* content = ml::firstChild(child, "sdtContent")) inlineContent(content, sink);
        }
    }

    void hyperlink(xmlNode* link, RunSink& sink) {
        const std::optional<std::string> href = m_inLink ? std::nullopt : hyperlinkHref(link, m_relationships);
        if (!href) {
            inlineContent(link, sink);
            return;
        }
        sink.flush();
        sink.out() += "<a href=\"" + escaped(*href) + "\">";
        m_inLink = true;
        inlineContent(link, sink);
        m_inLink = false;
        sink.flush();
        sink.out() += "</a>";
    }

    // A place an anchor link may lead to. The word processor's own mark of where editing
    // stopped is no such place.
    void bookmark(xmlNode* start, RunSink& sink) {
        const std::string name = ml::attr(start, "name");
        if (name.empty() || name == "_GoBack") return;
        sink.flush();
        sink.out() += "<span id=\"" + escaped(name) + "\"></span>";
    }

    void run(xmlNode* r, RunSink& sink) {
        const xmlNode* rPr = ml::firstChild(r, "rPr");
        RunFormat format = sink.paragraphText();
        if (const std::string style = styleIdOf(rPr, "rStyle"); !style.empty()) format.overlay(m_styles.characterStyle(style));
        format.overlay(readRunFormat(rPr, m_styles.theme()));
        if (format.hidden.value_or(false)) return;
        std::string html;
        runContent(r, html);
        if (!html.empty()) sink.write(runMarkup(format, sink.paragraphText()), html);
    }

    void runContent(xmlNode* container, std::string& html) {
        for (xmlNode* child = container->children; child; child = child->next) {
            if (ml::is(child, "t"))
                appendEscaped(html, ml::text(child));
            else if (ml::is(child, "tab"))
                html += "&emsp;";
            else if (ml::is(child, "br") || ml::is(child, "cr"))
                html += "<br>";
            else if (ml::is(child, "noBreakHyphen"))
                html += "&#8209;";
            else if (ml::is(child, "softHyphen"))
                html += "&shy;";
            else if (ml::is(child, "drawing") || ml::is(child, "pict"))
                html += m_images.pictureHtml(child, m_relationships);
            else if (ml::isIn(child, ml::kMarkupCompatibility, "AlternateContent"))
                alternateContent(child, html);
        }
    }

    // The first choice, and the fallback only when the choice shows nothing.
    void alternateContent(xmlNode* alternatives, std::string& html) {
        const size_t before = html.size();
        for (xmlNode* branch = ml::firstElement(alternatives); branch; branch = ml::nextElement(branch))
            if (ml::isIn(branch, ml::kMarkupCompatibility, "Choice")) {
                runContent(branch, html);
                break;
            }
        if (html.size() != before) return;
        for (xmlNode* branch = ml::firstElement(alternatives); branch; branch = ml::nextElement(branch))
            if (ml::isIn(branch, ml::kMarkupCompatibility, "Fallback")) {
                runContent(branch, html);
                break;
            }
    }

    void table(xmlNode* tbl) {
        const HtmlTable layout = layoutTable(tbl, m_styles);
        out += "<table style=\"" + escaped(layout.css) + "\">\n";
        for (const std::vector<HtmlCell>& row : layout.rows) {
            out += "<tr>";
            for (const HtmlCell& cell : row) {
                out += "<td";
                if (cell.columnSpan > 1) out += " colspan=\"" + std::to_string(cell.columnSpan) + "\"";
                if (cell.rowSpan > 1) out += " rowspan=\"" + std::to_string(cell.rowSpan) + "\"";
                out += " style=\"" + escaped(cell.css) + "\">";
                blocks(cell.cell);
                out += "</td>";
            }
            out += "</tr>\n";
        }
        out += "</table>\n";
    }

    const Package& m_package;
    StyleSheet& m_styles;
    PageImages& m_images;
    PartRelationships m_relationships;
    bool m_inLink = false;
};

// The first section's properties: in the paragraph that ends the section, or the body's own.
const xmlNode* firstSectionProperties(const xmlNode* body) {
    for (const xmlNode* child = body->children; child; child = child->next) {
        if (ml::is(child, "p"))
            if (const xmlNode* properties = ml::firstChild(ml::firstChild(child, "pPr"), "sectPr")) return properties;
        if (ml::is(child, "sectPr")) return child;
    }
    return nullptr;
}

bool hasTitlePage(const xmlNode* section) {
    const xmlNode* flag = ml::firstChild(section, "titlePg");
    if (!flag) return false;
    const std::string value = ml::attr(flag, "val");
    return value != "0" && value != "false" && value != "off";
}

// The width the text runs in: the page's less its margins.
std::string textWidthCss(const xmlNode* section) {
    const auto twips = [](const xmlNode* element, const char* name, int fallback) -> long long {
        return markupInteger(ml::attr(element, name)).value_or(fallback);
    };
    const xmlNode* margins = ml::firstChild(section, "pgMar");
    const long long width =
        twips(ml::firstChild(section, "pgSz"), "w", 11906) - twips(margins, "left", 1440) - twips(margins, "right", 1440);
    return width > 1440 && width < 31680 ? "max-width:" + twipsAsPoints(static_cast<int>(width)) : std::string();
}

void storyDivision(HtmlBuilder& html, DocxDocument& document, Story* story, const char* kind) {
    if (!story) return;
    html.out += std::string("<div class=\"") + kind + "\">\n";
    html.story(document, *story);
    html.out += "</div>\n";
}

}  // namespace

WebPage renderWebPage(DocxDocument& document, const std::string& title, const std::string& folder) {
    const Package& package = document.package();
    StyleSheet styles = StyleSheet::read(package, document.mainPartName());
    PageImages images(package, folder);
    HtmlBuilder html(package, styles, images);

    const xmlNode* section = firstSectionProperties(document.main().root());
    // A first page of its own shows its own header and footer, none when it has none.
    const bool titlePage = hasTitlePage(section);
    const auto sectionStory = [&](int32_t primary, int32_t first) -> Story* {
        if (!titlePage) return document.storyOfType(primary);
        return document.sections().empty() ? nullptr : document.sections().front().story(first);
    };

    html.out = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + escaped(title) + "</title>\n</head>\n<body>\n";
    const std::string width = textWidthCss(section);
    html.out += width.empty() ? "<div>\n" : "<div style=\"" + width + "\">\n";
    storyDivision(html, document, sectionStory(kPrimaryHeaderStory, kFirstPageHeaderStory), "header");
    html.story(document, document.main());
    storyDivision(html, document, sectionStory(kPrimaryFooterStory, kFirstPageFooterStory), "footer");
    html.out += "</div>\n</body>\n</html>\n";
    return WebPage{std::move(html.out), images.files()};
}

void writeHtml(DocxDocument& document, const std::filesystem::path& file) {
    const WebPage page = renderWebPage(document, file.stem().string(), pageFolderName(file));
    writeWebPage(file, page.html, page.files);
}

}  // namespace lumora::word
