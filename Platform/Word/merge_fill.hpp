#pragma once
// Filling one record's copy of merged markup: every merge field replaced by the record's value
// as plain text in the field's formatting, and a paragraph whose merge fields are all empty
// (and that holds nothing else but blanks) left out when blank lines are suppressed. Used for
// the letter's body and for its headers and footers alike.

#include <string>
#include <unordered_map>

#include "merge_data.hpp"
#include "wordml.hpp"

namespace lumora::word {

struct MergeOptions {
    // A paragraph holding merge fields that are all empty, and otherwise only blanks, is left out.
    bool suppressBlankLines = true;
};

// One record's values by merge field name, the names looked up once per run.
class FieldValues {
public:
    explicit FieldValues(const MergeData& data) : m_data(data) {}
    void setRecord(size_t record) { m_record = record; }
    // Errors: UnknownMergeField for a name that is no field of the data.
    const std::string& valueOf(const std::string& name);

private:
    const MergeData& m_data;
    std::unordered_map<std::string, size_t> m_columns;
    size_t m_record = 0;
};

struct FilledBlock {
    bool kept = true;  // false when the block itself was a blank line and is gone
    int fields = 0;    // merge fields filled in it
};

// Fills the merge fields of `block` (a paragraph, a table, a whole header) and its nested
// paragraphs with the current record's values.
FilledBlock fillBlock(xmlNode* block, FieldValues& values, const MergeOptions& options);

}  // namespace lumora::word
