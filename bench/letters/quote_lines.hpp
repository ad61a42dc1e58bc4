#pragma once
// A quote of 2,000 lines: WordQuote fills the template's own line table (one row per line,
// through Word's object model) and saves the quote as .docx; the same quote through an HTML
// table template the template names, fetched from its folder, filled and inserted. The peer is
// docxtemplater rendering the same 2,000 rows with a table loop, timed inside Node.js. Targets:
// the in-line quote faster than docxtemplater and under 1 s; the HTML-template quote under 1 s.

#include <filesystem>

#include "bench/ratio_reporter.hpp"

namespace lumora::bench {

// Writes the templates and the record into folder and registers the benchmarks.
void registerQuoteBenchmarks(const std::filesystem::path& folder);
// Our times against the targets and docxtemplater's (run from peerFolder when installed).
void reportQuotes(const RatioReporter& reporter, const std::filesystem::path& peerFolder);

}  // namespace lumora::bench
