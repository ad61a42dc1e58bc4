// Writes a benchmark letter template for other programs to fill:
//   word_template_tool PAGES TAGS OUTPUT [angle|braces]
// Tags are Tag1 … TagN; the values the benches use are printed as JSON, one object per line.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "word_templates.hpp"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s PAGES TAGS OUTPUT [angle|braces]\n", argv[0]);
        return 2;
    }
    const int pages = std::atoi(argv[1]);
    const int tags = std::atoi(argv[2]);
    if (pages < 1 || tags < 0) {
        std::fprintf(stderr, "PAGES must be at least 1 and TAGS at least 0\n");
        return 2;
    }
    const auto style = argc > 4 && std::string(argv[4]) == "braces" ? lumora::bench::TagStyle::Braces : lumora::bench::TagStyle::Angle;
    lumora::bench::writeLetterTemplate(argv[3], pages, tags, style);
    std::printf("{");
    for (int n = 1; n <= tags; ++n)
        std::printf("%s\"%s\":\"%s\"", n > 1 ? "," : "", lumora::bench::tagName(n).c_str(), lumora::bench::tagValue(n).c_str());
    std::printf("}\n");
    return 0;
}
