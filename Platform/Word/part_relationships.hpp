#pragma once
// A part's relationships (the package's .rels parts, with targets relative to their source part): what its r:id,
// r:embed and r:link attributes name. Read with the hardened parser; a relationships part that
// cannot be read is taken as naming nothing, so a reader that follows it finds nothing rather
// than failing on the document as a whole.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "package.hpp"

namespace lumora::word {

struct Relationship {
    std::string id;
    std::string type;    // the last segment of the type, in lower case: "image", "hyperlink"
    std::string target;  // as written
    bool external = false;
};

class PartRelationships {
public:
    // The relationships of `part` ("word/document.xml") in the package; none when it has none.
    static PartRelationships read(const Package& package, const std::string& part);

    const Relationship* find(std::string_view id) const;
    // The package part an internal relationship names, when it names one that is there;
    // nullopt for an external relationship, a target outside the package or a missing part.
    std::optional<std::string> partNamed(const Package& package, std::string_view id) const;
    // The part of the first relationship of that type ("styles") that names one.
    std::optional<std::string> partOfType(const Package& package, std::string_view type) const;

private:
    std::optional<std::string> partOf(const Package& package, const Relationship& relationship) const;

    std::string m_source;
    std::vector<Relationship> m_relationships;
};

// The last segment of a relationship type ("…/relationships/hyperlink" -> "hyperlink").
std::string relationshipTypeName(std::string_view type);

// The part an internal target names, resolved against its source part's folder (a target is a
// relative reference, "/" starting at the package's root); nullopt when it is no part name at
// all: a scheme, a network path, a backslash, a query or fragment, or a climb above the root.
std::optional<std::string> resolveInside(const std::string& source, std::string_view target);

}  // namespace lumora::word
