#pragma once
// Where document.load reads from: a local path (with "/" or "\" separators), a file: URL, or
// an http/https address fetched through the hardened client. Other protocols are refused.

#include <string>

#include "parser.hpp"

namespace lumora::xml {

ParseOutcome loadDocumentSource(const std::string& source, ParseOptions options);

}  // namespace lumora::xml
