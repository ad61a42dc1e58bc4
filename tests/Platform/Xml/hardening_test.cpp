// Hostile and broken input: every case ends in the member's own failure result (loadXML False
// with parseError filled, or an error) quickly, without reading local files, touching the
// network, writing files or exhausting memory.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>

#include "xml_test_support.hpp"

namespace lumora::xml::test {
namespace {

Object parseError(const Object& doc) { return doc.getObject("parseError"); }

// loadXML must fail; returns the reason.
std::string refusedReason(const Object& doc, const std::string& xml) {
    EXPECT_FALSE(doc.call("loadXML", xml).toBool());
    EXPECT_NE(parseError(doc).get("errorCode").toI4(), 0);
    EXPECT_TRUE(doc.getObject("documentElement").isNothing());
    return parseError(doc).get("reason").toString();
}

TEST(BadInput, MalformedXmlFillsParseErrorWithThePlace) {
    Object doc = newDocument();
    EXPECT_FALSE(doc.call("loadXML", "<a>\n  <b>text</c>\n</a>").toBool());
    Object error = parseError(doc);
    EXPECT_NE(error.get("errorCode").toI4(), 0);
    EXPECT_EQ(error.get("line").toI4(), 2);
    EXPECT_GT(error.get("linepos").toI4(), 0);
    EXPECT_EQ(error.get("srcText").toString(), "  <b>text</c>");
    EXPECT_NE(error.get("reason").toString().find("mismatch"), std::string::npos);
    EXPECT_TRUE(doc.call("loadXML", "<ok/>").toBool());
    EXPECT_EQ(parseError(doc).get("errorCode").toI4(), 0);
}

TEST(BadInput, EmptyTextAndUndeclaredPrefixesDoNotLoad) {
    Object doc = newDocument();
    refusedReason(doc, "");
    refusedReason(doc, "<xsl:stylesheet/>");
    refusedReason(doc, "<a/><b/>");
}

TEST(BadInput, BillionLaughsIsRefusedQuickly) {
    std::string xml = "<!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        xml += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) xml += i == 1 ? "&lol;" : "&lol" + std::to_string(i - 1) + ";";
        xml += "\">";
    }
    xml += "]><lolz>&lol9;</lolz>";
    auto start = std::chrono::steady_clock::now();
    std::string reason = refusedReason(newDocument(), xml);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_NE(reason.find("Entity references expand"), std::string::npos) << reason;
}

TEST(BadInput, OneLargeEntityRepeatedManyTimesStaysWithinTheExpansionBudget) {
    // The quadratic form: each reference is small, the entity is large.
    std::string xml = "<!DOCTYPE r [<!ENTITY big \"" + std::string(100000, 'x') + "\">]><r>";
    for (int i = 0; i < 20000; ++i) xml += "&big;";
    xml += "</r>";
    refusedReason(newDocument(), xml);
}

TEST(BadInput, ExternalEntitiesAreNeverRead) {
    TempFolder temp;
    auto secret = temp.write("secret.txt", "TOP-SECRET-CONTENT");
    std::string xml = "<!DOCTYPE r [<!ENTITY leak SYSTEM \"file://" + secret.string() + "\">"
                      "<!ENTITY % p SYSTEM \"file://" + secret.string() + "\">]><r>before&leak;after</r>";
    Object doc = newDocument();
    doc.put("resolveExternals", true);
    doc.put("validateOnParse", true);
    bool loadedOk = doc.call("loadXML", xml).toBool();
    std::string everything = doc.get("xml").toString() + parseError(doc).get("reason").toString() +
                             parseError(doc).get("srcText").toString();
    if (loadedOk) EXPECT_EQ(doc.getObject("documentElement").get("text").toString(), "beforeafter");
    EXPECT_EQ(everything.find("TOP-SECRET-CONTENT"), std::string::npos);
}

TEST(BadInput, AnExternalDtdIsNotFetched) {
    TempFolder temp;
    auto dtd = temp.write("evil.dtd", "<!ENTITY injected \"FROM-THE-DTD\">");
    Object doc = newDocument();
    std::string xml = "<!DOCTYPE r SYSTEM \"file://" + dtd.string() + "\"><r>&injected;</r>";
    doc.call("loadXML", xml);
    EXPECT_EQ(doc.get("xml").toString().find("FROM-THE-DTD"), std::string::npos);
}

TEST(BadInput, ADocumentOverTheSizeCapIsRefusedBeforeParsing) {
    TempFolder temp;
    auto huge = temp.path() / "huge.xml";
    {
        std::ofstream(huge) << "<r>";
    }
    std::filesystem::resize_file(huge, 200ull << 20);  // sparse: 200 MB without writing them
    Object doc = newDocument();
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(doc.call("load", huge.string()).toBool());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_NE(parseError(doc).get("reason").toString().find("64 MiB"), std::string::npos);

    std::string text = "<r>" + std::string((64u << 20) - 1, ' ') + "</r>";
    EXPECT_NE(refusedReason(doc, text).find("64 MiB"), std::string::npos);
}

TEST(BadInput, DeepNestingIsRefusedWhenParsedAndWhenBuilt) {
    std::string xml;
    for (int i = 0; i < 100000; ++i) xml += "<a>";
    EXPECT_NE(refusedReason(newDocument(), xml).find("256"), std::string::npos);

    Object doc = loaded("<a/>");
    Object node = doc.getObject("documentElement");
    int depth = 1;
    try {
        for (; depth < 1000; ++depth) node = node.call("appendChild", doc.call("createElement", "a")).toObject();
        FAIL() << "a document nested 1000 levels deep was built";
    } catch (const Error& e) {
        EXPECT_EQ(depth, 256);
        EXPECT_NE(e.description().find("256"), std::string::npos);
    }
}

TEST(BadInput, AnElementWithHundredsOfThousandsOfAttributesIsRefusedQuickly) {
    std::string xml = "<r";
    for (int i = 0; i < 200000; ++i) xml += " a" + std::to_string(i) + "='1'";
    xml += "/>";
    auto start = std::chrono::steady_clock::now();
    EXPECT_NE(refusedReason(newDocument(), xml).find("too many attributes"), std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    // Ordinary documents with many attributes in all load as before.
    std::string many = "<r>";
    for (int i = 0; i < 20000; ++i) many += "<e a='1' b=\"2\" c='x=y' d='x>y'/><!-- a=b --><![CDATA[ c=d ]]>";
    EXPECT_TRUE(newDocument().call("loadXML", many + "</r>").toBool());
}

TEST(BadInput, LoadRefusesOtherProtocolsAndMissingFiles) {
    Object doc = newDocument();
    EXPECT_FALSE(doc.call("load", "ftp://example.invalid/x.xml").toBool());
    EXPECT_FALSE(doc.call("load", "/no/such/file.xml").toBool());
    EXPECT_FALSE(doc.call("load", "/dev/zero").toBool());
    EXPECT_NE(parseError(doc).get("errorCode").toI4(), 0);
}

TEST(BadInput, XPathThatWouldRunForeverIsStopped) {
    std::string xml = "<r>";
    for (int i = 0; i < 20000; ++i) xml += "<i/>";
    xml += "</r>";
    Object doc = loaded(xml);
    EXPECT_THROW(doc.call("selectNodes", "//i[count(//i[count(//i) > 0]) > 0]"), Error);
}

const char* kXslHead = R"(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:exsl="http://exslt.org/common" extension-element-prefixes="exsl">)";

TEST(BadInput, AStylesheetCannotReadLocalFiles) {
    Object data = loaded("<r/>");
    Object xsl = loaded(std::string(kXslHead) +
                        R"X(<xsl:template match="/"><x><xsl:copy-of select="document('/etc/passwd')"/></x></xsl:template></xsl:stylesheet>)X");
    try {
        std::string out = data.call("transformNode", xsl).toString();
        EXPECT_EQ(out.find("root:"), std::string::npos);
        ADD_FAILURE() << "the transformation reading a local file succeeded";
    } catch (const Error& e) {
        EXPECT_NE(e.description().find("not allowed"), std::string::npos) << e.description();
    }
}

TEST(BadInput, AStylesheetCannotWriteFiles) {
    TempFolder temp;
    auto written = temp.path() / "written.txt";
    auto nested = temp.path() / "made" / "dir.txt";
    Object data = loaded("<r/>");
    for (const std::string& body :
         {"<exsl:document href=\"" + written.string() + "\" method=\"text\">owned</exsl:document>",
          "<exsl:document href=\"" + nested.string() + "\" method=\"text\">owned</exsl:document>",
          "<xsl:result-document href=\"" + written.string() + "\">owned</xsl:result-document>"}) {
        Object xsl = loaded(std::string(kXslHead) + "<xsl:template match=\"/\"><out>" + body +
                            "</out></xsl:template></xsl:stylesheet>");
        try {
            data.call("transformNode", xsl);
        } catch (const Error&) {
        }
        EXPECT_FALSE(std::filesystem::exists(written)) << body;
        EXPECT_FALSE(std::filesystem::exists(nested.parent_path())) << body;
    }
}

TEST(BadInput, RunawayTemplateRecursionEndsInAnError) {
    Object data = loaded("<r/>");
    Object xsl = loaded(std::string(kXslHead) + R"(
      <xsl:template match="/"><xsl:call-template name="loop"/></xsl:template>
      <xsl:template name="loop"><a><xsl:call-template name="loop"/></a></xsl:template></xsl:stylesheet>)");
    EXPECT_THROW(data.call("transformNode", xsl), Error);
}

long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Expects the transformation to be stopped for its memory, with the process's peak kept far
// below what the stylesheet asks for (gigabytes).
void expectStoppedForMemory(const Object& data, const Object& xsl) {
    long before = peakResidentKiB();
    try {
        data.call("transformNode", xsl);
        ADD_FAILURE() << "the transformation ran to its end";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), static_cast<int32_t>(0x80004005u));
        EXPECT_EQ(e.description(), "The transformation failed: it needed more than the allowed 256 MiB of memory");
    }
    EXPECT_LT(peakResidentKiB() - before, 600L * 1024);
}

TEST(BadInput, ATransformationCopyingADocumentOverAndOverIsStoppedWhileItRuns) {
    std::string xml = "<r>";
    for (int i = 0; i < 256; ++i) xml += "<n>" + std::string(4096, 'x') + "</n>";
    xml += "</r>";
    Object data = loaded(xml);
    Object xsl = loaded(std::string(kXslHead) + R"(
      <xsl:template match="/"><out><xsl:for-each select="//n"><xsl:copy-of select="/"/></xsl:for-each></out>
      </xsl:template></xsl:stylesheet>)");
    expectStoppedForMemory(data, xsl);
}

TEST(BadInput, ATransformationGrowingExponentiallyIsStoppedWhileItRuns) {
    Object data = loaded("<r/>");
    Object xsl = loaded(std::string(kXslHead) + R"(
      <xsl:template match="/"><out><xsl:call-template name="grow"><xsl:with-param name="n" select="26"/>
      </xsl:call-template></out></xsl:template>
      <xsl:template name="grow"><xsl:param name="n"/><xsl:choose><xsl:when test="$n = 0"><e/></xsl:when>
      <xsl:otherwise><xsl:call-template name="grow"><xsl:with-param name="n" select="$n - 1"/></xsl:call-template>
      <xsl:call-template name="grow"><xsl:with-param name="n" select="$n - 1"/></xsl:call-template>
      </xsl:otherwise></xsl:choose></xsl:template></xsl:stylesheet>)");
    expectStoppedForMemory(data, xsl);

    // The engine is left fit for the next transformation.
    Object plain = loaded(std::string(kXslHead) +
                          R"(<xsl:output method="text"/><xsl:template match="/">done</xsl:template></xsl:stylesheet>)");
    EXPECT_EQ(data.call("transformNode", plain).toString(), "done");
}

TEST(BadInput, ATransformationThatComputesForeverIsStoppedWithinSeconds) {
    std::string xml = "<r>";
    for (int i = 0; i < 2000; ++i) xml += "<n>" + std::to_string(i) + "</n>";
    xml += "</r>";
    Object data = loaded(xml);
    Object xsl = loaded(std::string(kXslHead) + R"(<xsl:output method="text"/>
      <xsl:template match="/"><xsl:for-each select="//n"><xsl:for-each select="//n"><xsl:for-each select="//n">
      <xsl:if test="concat(., 'x') = 'never'">!</xsl:if></xsl:for-each></xsl:for-each></xsl:for-each>
      </xsl:template></xsl:stylesheet>)");
    try {
        data.call("transformNode", xsl);
        ADD_FAILURE() << "the transformation ran to its end";
    } catch (const Error& e) {
        EXPECT_EQ(e.description(), "The transformation failed: it ran longer than the allowed 5 seconds");
    }
}

}  // namespace
}  // namespace lumora::xml::test
