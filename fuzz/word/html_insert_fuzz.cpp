// Feeds arbitrary bytes to InsertFile's web page reader as a page: what it reads is written as
// markup and put into a document's main story, in the middle of a paragraph, then the story is
// read again, its tables are walked as script walks them and the document is saved. Any input
// may be refused; none may crash, hang or leak.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string>

#include "Platform/Word/block_markup.hpp"
#include "Platform/Word/document_files.hpp"
#include "Platform/Word/html_import.hpp"
#include "Platform/Word/table_model.hpp"
#include "fuzz/tolerate.hpp"

namespace {

using namespace lumora::word;

using lumora::fuzz::tolerate;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    tolerate([&] {
        const ImportedContent content = importHtml(bytes);
        auto document = blankDocument();
        Story& main = document->main();
        main.replace(0, 0, U"before after");
        const lumora::xml::NodeHandle blocks = blockMarkup(main.part()->doc.get(), content, kDefaultTextWidth);
        main.insertBlocks(6, 7, blocks.get());
        main.characters(0, main.length());
        for (XmlNode* table : document->tables()) {
            table::columnCount(table);
            const auto& rows = document->rowsOf(table);
            for (int32_t r = 1; r <= static_cast<int32_t>(rows.size()); ++r)
                tolerate([&] { main.spanOf(table::cell(rows, r, 1)); });
        }
        static const std::filesystem::path saved =
            std::filesystem::temp_directory_path() / ("html_insert_fuzz-" + std::to_string(::getpid()) + ".docx");
        tolerate([&] { document->save(saved); });
    });
    return 0;
}
