// sample-template: writes the project's sample Word template, so a new user has a template whose
// tags the demo page's record fills.

#include <iostream>

#include "Host/sample_template.hpp"
#include "commands.hpp"

namespace lumora::host::cli {

namespace {

int runSampleTemplate(const CliOptions&, const std::vector<std::string>& rawArgs) {
    auto args = positionalArgs("sample-template", rawArgs);
    if (args.size() != 1) throw UsageError("sample-template needs one folder: lumora sample-template FOLDER");
    std::cout << writeSampleTemplate(args[0]).string() << '\n';
    return kExitOk;
}

const CommandRegistration kSampleTemplate{
    {"sample-template", "sample-template FOLDER",
     "writes the sample template \"" + std::string(kSampleTemplateName) + "\" into FOLDER", runSampleTemplate}};

}  // namespace

}  // namespace lumora::host::cli
