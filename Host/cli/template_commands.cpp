// sample-template: writes the project's sample Word templates (letters, quotes and a campaign
// letter) and their record documents and recipient list, so a new user has templates whose tags
// a record fills.

#include <iostream>

#include "Host/sample_template.hpp"
#include "commands.hpp"

namespace lumora::host::cli {

namespace {

int runSampleTemplate(const CliOptions&, const std::vector<std::string>& rawArgs) {
    auto args = positionalArgs("sample-template", rawArgs);
    if (args.size() != 1) throw UsageError("sample-template needs one folder: lumora sample-template FOLDER");
    const SampleDocuments written = writeSampleDocuments(args[0]);
    for (const auto& path : {written.letterTemplate, written.seminarTemplate, written.letterRecord, written.seminarRecord,
                             written.quoteTemplate, written.quoteHtmlTemplate, written.quoteLines, written.quoteRecord,
                             written.campaignLetter, written.campaignRecipients})
        std::cout << path.string() << '\n';
    return kExitOk;
}

const CommandRegistration kSampleTemplate{
    {"sample-template", "sample-template FOLDER",
     "writes the sample templates, their record documents and a campaign's recipient list into FOLDER", runSampleTemplate}};

}  // namespace

}  // namespace lumora::host::cli
