#pragma once
// The base of every collection: a count, an item by position (and by name where the collection
// has names), for-each, and what a position out of range gives, written once. A collection
// supplies count() and at(); its table gets Count and Item from addCollectionMembers:
//
//     class Folders : public Collection {
//         int32_t count() override { return static_cast<int32_t>(m_rows.size()); }
//         std::optional<Variant> at(int32_t position) override {
//             if (position >= count()) return std::nullopt;
//             return Variant(folderObject(m_rows[position]));
//         }
//         std::optional<Variant> named(std::string_view name) override { ... }  // Folders("Inbox")
//     };
//     Collection::addCollectionMembers(t, kAutomationCollection);

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "object.hpp"

namespace lumora {

// What Item gives for a position that is not in the collection.
enum class OutOfRange : uint8_t { Error, Nothing };

// The names, dispatch ids and numbering of a collection's members.
struct CollectionShape {
    std::string countName;
    DispId countId;
    std::string itemName;
    MemberKind itemKind;  // a property get, or a method as the DOM declares item
    std::vector<std::string> itemParams;
    size_t itemRequired;
    int32_t firstPosition;  // 1 for automation collections, 0 for DOM lists
    OutOfRange outOfRange;  // error 9, or Nothing
};

// Count and Item(index or name), 1-based, error 9 beyond the end: the automation collections.
inline const CollectionShape kAutomationCollection{"Count", 1, "Item", MemberKind::PropertyGet, {"Index"}, 1, 1,
                                                   OutOfRange::Error};
// length and item(index), 0-based, Nothing beyond the end: the DOM's node lists.
inline const CollectionShape kDomNodeList{"length", 1, "item", MemberKind::Method, {"index"}, 1, 0, OutOfRange::Nothing};

class Collection : public Dispatch {
public:
    // The number of elements now.
    virtual int32_t count() = 0;
    // The element at a 0-based position, nullopt beyond the end. Lists that are costly to count
    // answer without counting, so a loop over Item(0..n-1) stays linear.
    virtual std::optional<Variant> at(int32_t position) = 0;
    // The element of that name; nullopt when the collection has no names, so the key is read as
    // a position. A named collection raises its own error for a name it does not hold.
    virtual std::optional<Variant> named(std::string_view name);

    // Item(key): a name where the collection has names, else a position counted from the
    // shape's first position.
    virtual Variant item(const Variant& key, const CollectionShape& shape);
    // The element at a position counted from the shape's first, or the shape's out-of-range result.
    Variant atPosition(int64_t position, const CollectionShape& shape);

    // For-each walks at(0), at(1), ... directly, without late-bound calls.
    std::optional<std::vector<Variant>> elements() override;

    // What a member such as Workbooks or Documents gives: the collection when called without an
    // index, its Item(index) when called with one (Documents(1)).
    static Variant collectionOrItem(const Object& collection, Args& args);

    // Adds the count and item members of the shape to a collection class's table.
    static void addCollectionMembers(TypeInfo& info, const CollectionShape& shape);
    // The whole table of a collection that has no members but its count and item.
    static TypeInfo collectionTypeInfo(std::string className, const CollectionShape& shape);
};

}  // namespace lumora
