// Feeds arbitrary bytes to the .docx reader: input starting like a zip is read as a whole
// package; any other input becomes the main part of a minimal package, so the fuzzer reaches the
// story index and the editor without having to invent zip archives. Whatever loaded is then
// read (every story's text, tables, the web page), edited (a find and a replacement holding
// paragraph marks, tabs and breaks, a deletion across what was found) and saved. Any input may
// be refused; none may crash, hang or leak.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string>

#include "Platform/Word/docx_document.hpp"
#include "Platform/Word/html_writer.hpp"
#include "Platform/Word/table_model.hpp"
#include "fuzz/tolerate.hpp"

namespace {

using namespace lumora::word;

using lumora::fuzz::tolerate;

Package packageFor(const std::string& bytes) {
    if (bytes.rfind("PK", 0) == 0) return Package::fromBytes(bytes, "fuzz");
    Package package;
    package.put("word/document.xml", bytes);
    return package;
}

void exercise(Story& story) {
    story.characters(0, story.length());
    tolerate([&] {
        if (auto found = story.find(U"<", 0, story.length(), FindOptions{}))
            story.replace(found->start, std::min(found->end + 3, story.length()), U"a\r\tb\vc");
    });
    tolerate([&] {
        if (auto found = story.find(U"E", 0, story.length(), FindOptions{false, true, false})) story.replace(found->start, found->end, U"");
    });
    tolerate([&] { story.replace(0, 0, U"start "); });
    tolerate([&] { story.replace(story.length() / 2, story.length(), U""); });
    story.characters(0, story.length());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    tolerate([&] {
        auto document = DocxDocument::fromPackage(packageFor(bytes), "fuzz");
        for (XmlNode* table : document->tables())
            tolerate([&] {
                table::columnCount(table);
                table::addRow(table);
                document->noteStructureEdit(document->main());
                document->main().spanOf(table::cell(document->rowsOf(table), 1, 1));
            });
        for (Story* story : document->firstStories()) {
            for (Story* next = story; next; next = document->nextOfType(*next)) exercise(*next);
            for (Story* frame : document->textFrames(*story)) exercise(*frame);
        }
        renderWebPage(*document, "fuzz", "fuzz_files");
        static const std::filesystem::path saved =
            std::filesystem::temp_directory_path() / ("docx_reader_fuzz-" + std::to_string(::getpid()) + ".docx");
        tolerate([&] { document->save(saved); });
    });
    return 0;
}
