#pragma once
// The headers and footers of merged letters. A header or footer part that holds merge fields
// is filled anew for every record, as a part of its own that only that record's section
// references, so each letter's page heading names its own recipient; parts without merge
// fields stay one part shared by every section, as they were.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "merge_fill.hpp"
#include "package.hpp"
#include "xml_part.hpp"

namespace lumora::word {

class RecordStoryParts {
public:
    // The parts referenced from `sections` (the main part's section properties) that hold merge
    // fields; the package's relationships and content types are read once here.
    // Errors: UnknownMergeField for a header's merge field that names no field of the data.
    RecordStoryParts(Package& package, std::string mainPart, const std::vector<xmlNode*>& sections,
                     FieldValues& values, const MergeOptions& options);
    ~RecordStoryParts();

    bool empty() const { return m_templates.empty(); }
    // Makes the current record's parts (the values' record) and points the references of the
    // section properties under `markup` at them.
    void fillRecord(size_t record, xmlNode* markup);
    // Puts the relationships and content types naming the records' parts into the package.
    void finish();

private:
    struct Template;
    std::string uniqueName(const std::string& wanted);

    Package& m_package;
    std::string m_mainPart;
    FieldValues& m_values;
    MergeOptions m_options;
    std::vector<std::unique_ptr<Template>> m_templates;
    std::unique_ptr<XmlPart> m_relationships;
    std::unique_ptr<XmlPart> m_contentTypes;
    std::vector<std::string> m_takenNames;  // sorted: the package's part names and relationship ids
};

}  // namespace lumora::word
