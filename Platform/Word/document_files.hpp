#pragma once
// Reading a document file whatever its kind: a .docx/.dotx/.docm package directly, a legacy
// binary .doc/.dot through LibreOffice's conversion to a package (a clear error without it).

#include <filesystem>
#include <memory>

#include "docx_document.hpp"

namespace lumora::word {

std::unique_ptr<DocxDocument> readDocumentFile(const std::filesystem::path& file);
// A new empty document, as made without a template.
std::unique_ptr<DocxDocument> blankDocument();
// True when the file starts like a zip package.
bool isPackageFile(const std::filesystem::path& file);

}  // namespace lumora::word
