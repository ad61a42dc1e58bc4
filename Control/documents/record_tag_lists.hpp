#pragma once
// The tag lists of the last record-document extraction, which the tag replacement reads.

#include <string>
#include <vector>

namespace lumora::control {

// Entry i of each list belongs to the others' entry i: the search tag "<tag>", the field's name,
// its value. Lower bound 0.
struct RecordTagLists {
    std::vector<std::string> TagList;
    std::vector<std::string> FieldNameList;
    std::vector<std::string> ValueList;
};

}  // namespace lumora::control
