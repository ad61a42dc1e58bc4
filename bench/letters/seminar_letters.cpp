#include "seminar_letters.hpp"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "Automation/object.hpp"
#include "Control/frame/control.hpp"
#include "Host/sample_template.hpp"
#include "Platform/Xml/register.hpp"

namespace lumora::bench {

namespace {

namespace fs = std::filesystem;

constexpr std::array<int, 4> kPeople{1'000, 2'000, 10'000, 35'000};

struct SeminarInput {
    fs::path templateFile;
    fs::path saved;
    std::string record;  // seminar layout, with `people` people in its list
};

std::map<int, SeminarInput>& inputs() {
    static std::map<int, SeminarInput> all;
    return all;
}

// The sample record with its list of two people replaced by `people` people.
std::string seminarRecord(int people) {
    std::string record(host::sampleSeminarRecord());
    const size_t listStart = record.find('>', record.find("<listitemname")) + 1;
    const size_t listEnd = record.find("</listitemname>");
    std::string list;
    for (int i = 1; i <= people; ++i) {
        const std::string n = std::to_string(i);
        list += "<p><field templatetag=\"name\" label=\"Name\" value=\"Guest " + n +
                "\"/><field templatetag=\"company\" label=\"Company\" value=\"Firm " + n +
                "\"/><field templatetag=\"email\" label=\"E-mail\" value=\"g" + n + "@x.example\"/></p>";
    }
    return record.replace(listStart, listEnd - listStart, list);
}

void createSeminarLetterXml(benchmark::State& state, int people) {
    const SeminarInput& input = inputs().at(people);
    Object control = makeObject<control::LumoraCtrl2005>();
    for (auto _ : state) {
        Object record = xml::createXmlDocument();
        record.call("loadXML", input.record);
        Variant xmlDoc(record), tpl(input.templateFile.string()), address(""), mode("HTML"),
            save(input.saved.string()), header("");
        control.call("CreateSeminarLetterXML", ByRef{xmlDoc}, ByRef{tpl}, ByRef{address}, ByRef{mode}, ByRef{save},
                     ByRef{header});
        if (!fs::exists(input.saved)) {
            state.SkipWithError("no letter written");
            break;
        }
        state.PauseTiming();
        fs::remove(input.saved);
        state.ResumeTiming();
    }
}

struct XmlDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

xmlNode* addElement(xmlNode* parent, const char* name) { return xmlNewChild(parent, nullptr, BAD_CAST name, nullptr); }

// A table row of one cell per text, each cell a paragraph with one run, as the letter's rows.
void addRow(xmlNode* table, std::initializer_list<const xmlChar*> texts) {
    xmlNode* row = addElement(table, "w:tr");
    for (const xmlChar* text : texts) {
        xmlNode* cell = addElement(row, "w:tc");
        xmlNewProp(addElement(addElement(cell, "w:tcPr"), "w:tcW"), BAD_CAST "w:w", BAD_CAST "3000");
        xmlNode* run = addElement(addElement(cell, "w:p"), "w:r");
        xmlNewTextChild(run, nullptr, BAD_CAST "w:t", text);
    }
}

// The floor: the record parsed and its people written as the same table rows with libxml2,
// the document serialized to memory (not zipped).
void libxml2SeminarTable(benchmark::State& state, int people) {
    const SeminarInput& input = inputs().at(people);
    for (auto _ : state) {
        std::unique_ptr<xmlDoc, XmlDocFree> record(
            xmlReadMemory(input.record.data(), static_cast<int>(input.record.size()), nullptr, nullptr, XML_PARSE_NONET));
        std::unique_ptr<xmlDoc, XmlDocFree> document(xmlNewDoc(BAD_CAST "1.0"));
        xmlNode* root = xmlNewNode(nullptr, BAD_CAST "w:document");
        xmlDocSetRootElement(document.get(), root);
        xmlNode* table = addElement(addElement(root, "w:body"), "w:tbl");
        addRow(table, {BAD_CAST "Name", BAD_CAST "Company", BAD_CAST "E-mail"});
        xmlNode* list = xmlDocGetRootElement(record.get())->last;
        while (list && !xmlStrEqual(list->name, BAD_CAST "listitemname")) list = list->prev;
        for (xmlNode* person = list ? list->children : nullptr; person; person = person->next) {
            if (person->type != XML_ELEMENT_NODE) continue;
            std::array<xmlChar*, 3> values{};
            size_t field = 0;
            for (xmlNode* node = person->children; node && field < values.size(); node = node->next)
                if (node->type == XML_ELEMENT_NODE) values[field++] = xmlGetProp(node, BAD_CAST "value");
            addRow(table, {values[0], values[1], values[2]});
            for (xmlChar* value : values) xmlFree(value);
        }
        xmlChar* text = nullptr;
        int size = 0;
        xmlDocDumpMemory(document.get(), &text, &size);
        benchmark::DoNotOptimize(size);
        xmlFree(text);
    }
}

std::string benchmarkName(const char* form, int people) { return std::string(form) + "/" + std::to_string(people); }

}  // namespace

void registerSeminarBenchmarks(const fs::path& folder) {
    const fs::path templateFile = host::writeSeminarTemplate(folder);
    for (int people : kPeople) {
        inputs()[people] = {templateFile, folder / ("seminar-" + std::to_string(people) + ".docx"), seminarRecord(people)};
        benchmark::RegisterBenchmark(benchmarkName("createSeminarLetterXml", people).c_str(), createSeminarLetterXml, people)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(benchmarkName("libxml2SeminarTable", people).c_str(), libxml2SeminarTable, people)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
}

void reportSeminarGrowth(const RatioReporter& reporter) {
    const double base = reporter.nanoseconds(benchmarkName("createSeminarLetterXml", kPeople.front()).c_str());
    if (base <= 0) return;
    std::printf("CreateSeminarLetterXML by people (growth against %d people; linear growth is people / %d):\n",
                kPeople.front(), kPeople.front());
    for (int people : kPeople) {
        const double ours = reporter.nanoseconds(benchmarkName("createSeminarLetterXml", people).c_str());
        const double floor = reporter.nanoseconds(benchmarkName("libxml2SeminarTable", people).c_str());
        if (ours <= 0) continue;
        const double linear = static_cast<double>(people) / kPeople.front();
        std::printf("%7d people %9.1f ms   growth %6.1fx (linear %5.1fx, %.2f of linear)", people, ours / 1e6,
                    ours / base, linear, ours / base / linear);
        if (floor > 0) std::printf("   libxml2 rows %7.1f ms, %.1fx the floor", floor / 1e6, ours / floor);
        std::printf("\n");
    }
    std::printf("targets: 35,000 people under 5 s, growing near linearly from 1,000\n");
}

}  // namespace lumora::bench
