#pragma once
// Quotes made by the control through the automation layer, as a page calls the quote members:
// Word templates with a line table or an "<htmltable>" paragraph, HTML table templates beside
// them, the quote's record document, and the mails the PIM drafts.

#include <fstream>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "Control/frame/control.hpp"
#include "Platform/Xml/register.hpp"
#include "tests/Control/support/word_fixture.hpp"
#include "tests/support/mail_draft_reader.hpp"

namespace lumora {

// The captions and placeholder names of the quote's columns. Group has no tag: its label names it.
inline constexpr std::string_view kQuoteFields =
    R"(<quotefields><quotefield name="description" templatetag="description" label="Description"/>)"
    R"(<quotefield name="qty" templatetag="qty" label="Quantity"/>)"
    R"(<quotefield name="unit_price" templatetag="unit_price" label="Unit Price"/>)"
    R"(<quotefield name="group" label="Group"/></quotefields>)";

inline constexpr std::string_view kThreeLines =
    R"(<quoterows><line description="Desk" qty="2" unit_price="120.00" group="A"/>)"
    R"(<line description="Chair" qty="4" unit_price="45.50" group="a"/>)"
    R"(<line description="Lamp" qty="1" unit_price="19.99" group="B"/></quoterows>)";

// A quote record of the letter and quote layout: the contact and quote number as tags, then the
// parts given (captions, lines).
inline std::string quoteRecord(std::string_view parts) {
    return R"(<Data><field name="contact" templatetag="CONTACT" label="Contact"/>)"
           R"(<field name="quoteref" templatetag="QUOTEREF" label="Quote"/>)"
           R"(<Data><entry fieldname="contact" value="Anne Müller"/><entry fieldname="quoteref" value="Q-1001"/></Data>)" +
           std::string(parts) + "</Data>";
}

inline Object recordDocument(std::string_view xml) {
    Object document = xml::createXmlDocument();
    document.call("loadXML", std::string(xml));
    return document;
}

inline void writeFile(const std::filesystem::path& file, std::string_view bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

inline std::string fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Quotes : public testing::WordFixture {
protected:
    // A template reading "Quote <QUOTEREF> for <CONTACT>" above `table` (block elements).
    std::filesystem::path quoteTemplate(const std::string& table, const std::string& name = "quote.dotx") {
        return makeTemplate(testing::paragraph("Quote <QUOTEREF> for <CONTACT>") + table + host::paragraph(), {}, {},
                            name);
    }

    // The line table: a header row of column tags over one empty line row.
    static std::string lineTable() {
        using testing::paragraph;
        return testing::table({{paragraph("<Description>"), paragraph("<Qty>"), paragraph("<Unit Price>"),
                                paragraph("<Discount>")},
                               {paragraph(""), paragraph(""), paragraph(""), paragraph("")}});
    }

    // A template whose "<HtmlTable>lines.htm" paragraph names an HTML table template beside it:
    // a group row over line rows of description, quantity and price.
    std::filesystem::path externalTemplate() {
        writeFile(temp.path() / "templates" / "lines.htm",
                  "<html><body><table>\r\n<!-- QuoteRowStart --><tr><td>&lt;DESCRIPTION&gt;</td><td>&lt;QTY&gt;</td>"
                  "<td>&lt;UNIT_PRICE&gt;</td></tr><!-- QuoteRowEnd -->\r\n<!-- QuoteGroupStart --><tr><td>Group "
                  "&lt;GROUP&gt;</td></tr><!-- QuoteGroupEnd -->\r\n</table></body></html>");
        return quoteTemplate(testing::paragraph("<HtmlTable>lines.htm"), "external.dotx");
    }

    std::string wordQuote(std::string_view record, const std::filesystem::path& templatePath,
                          const std::string& savePath, const std::string& makeVisible = "0") {
        Variant xmlDoc(recordDocument(record)), tpl(templatePath.string()), save(savePath), visible(makeVisible),
            header("true");
        return control.call("WordQuote", ByRef{xmlDoc}, ByRef{tpl}, ByRef{save}, ByRef{visible}, ByRef{header})
            .toString();
    }

    // WordQuoteHtml for a quote; the recipient line as the member wrote it back.
    std::string wordQuoteHtml(std::string_view record, const std::filesystem::path& templatePath,
                              const std::string& format, const std::string& quoteFileName,
                              const std::string& savePath = "") {
        Variant xmlDoc(recordDocument(record)), address("null"), subject("Q-1001"), mailType("Quote"),
            addressType("Email"), tpl(templatePath.string()), form(format), save(savePath), header("true"),
            visible("0"), fileName(quoteFileName);
        EXPECT_EQ(control.call("WordQuoteHtml", ByRef{xmlDoc}, ByRef{address}, ByRef{subject}, ByRef{mailType},
                               ByRef{addressType}, ByRef{tpl}, ByRef{form}, ByRef{save}, ByRef{header},
                               ByRef{visible}, ByRef{fileName}),
                  Variant(""));
        return address.toString();
    }

    // The last mail shown, as Python's email package reads its draft; attachments saved in `parts`.
    nlohmann::json lastMail(const std::filesystem::path& parts = {}) {
        for (auto it = desktop.transcript().shown.rbegin(); it != desktop.transcript().shown.rend(); ++it)
            if (it->kind == "mail") return testing::readMailDraft(it->file, parts);
        ADD_FAILURE() << "no mail was shown";
        return nlohmann::json::object();
    }

    std::filesystem::path tmp() const { return temp.path() / "tmp"; }

    Object control = makeObject<control::LumoraCtrl2005>();
};

}  // namespace lumora
