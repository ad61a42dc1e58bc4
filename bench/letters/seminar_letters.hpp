#pragma once
// The seminar letter at 1,000 to 35,000 people: each run loads the record (some 80 bytes a
// person, so 35,000 people are a request of about 3 MB) and calls CreateSeminarLetterXML on the
// sample seminar template, which fills its list table with one row per person through Word's
// object model and saves the letter. The floor parses the same record and writes the same rows
// with libxml2 alone. Targets: 35,000 people under 5 s, growing near linearly from 1,000.

#include <filesystem>

#include "bench/ratio_reporter.hpp"

namespace lumora::bench {

// Writes the template and records into folder and registers the benchmarks.
void registerSeminarBenchmarks(const std::filesystem::path& folder);
// How the letter's time grows with the people against linear growth, and against the floor.
void reportSeminarGrowth(const RatioReporter& reporter);

}  // namespace lumora::bench
