#include "table_sections.hpp"

#include <algorithm>

namespace lumora::html {

namespace {

int32_t indexIn(const std::vector<Node*>& nodes, const Node& node) {
    auto it = std::find(nodes.begin(), nodes.end(), &node);
    return it == nodes.end() ? -1 : static_cast<int32_t>(it - nodes.begin());
}

}  // namespace

bool isTableSection(const Node& element) { return element.is("thead") || element.is("tbody") || element.is("tfoot"); }

std::vector<Node*> childrenNamed(const Node& element, std::string_view tag) {
    std::vector<Node*> out;
    for (const auto& child : element.children)
        if (child->is(tag)) out.push_back(child.get());
    return out;
}

std::vector<Node*> sectionRows(const Node& section) { return childrenNamed(section, "tr"); }

std::vector<Node*> tableRows(const Node& table) {
    std::vector<Node*> head, body, foot;
    for (const auto& child : table.children) {
        if (child->is("thead")) {
            auto rows = sectionRows(*child);
            head.insert(head.end(), rows.begin(), rows.end());
        } else if (child->is("tfoot")) {
            auto rows = sectionRows(*child);
            foot.insert(foot.end(), rows.begin(), rows.end());
        } else if (child->is("tbody")) {
            auto rows = sectionRows(*child);
            body.insert(body.end(), rows.begin(), rows.end());
        } else if (child->is("tr")) {
            body.push_back(child.get());
        }
    }
    head.insert(head.end(), body.begin(), body.end());
    head.insert(head.end(), foot.begin(), foot.end());
    return head;
}

std::vector<Node*> rowCells(const Node& row) {
    std::vector<Node*> out;
    for (const auto& child : row.children)
        if (child->is("td") || child->is("th")) out.push_back(child.get());
    return out;
}

int32_t rowIndex(const Node& row) {
    Node* parent = row.parent;
    if (parent && isTableSection(*parent)) parent = parent->parent;
    return parent && parent->is("table") ? indexIn(tableRows(*parent), row) : -1;
}

int32_t cellIndex(const Node& cell) { return cell.parent && cell.parent->is("tr") ? indexIn(rowCells(*cell.parent), cell) : -1; }

}  // namespace lumora::html
