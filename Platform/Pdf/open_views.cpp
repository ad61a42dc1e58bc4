#include "open_views.hpp"

#include <algorithm>
#include <utility>

#include "pdf_objects.hpp"

namespace lumora::pdf {

OpenViews& OpenViews::ofThisThread() {
    thread_local OpenViews views;
    return views;
}

void OpenViews::add(std::shared_ptr<DocumentView> view) {
    remove(view.get());
    m_views.push_back(std::move(view));
}

void OpenViews::remove(const DocumentView* view) {
    std::erase_if(m_views, [view](const auto& open) { return open.get() == view; });
}

std::shared_ptr<DocumentView> OpenViews::active() const { return m_views.empty() ? nullptr : m_views.back(); }

std::shared_ptr<DocumentView> OpenViews::at(size_t position) const {
    return position < m_views.size() ? m_views[position] : nullptr;
}

std::vector<std::shared_ptr<DocumentView>> OpenViews::takeAll() { return std::exchange(m_views, {}); }

}  // namespace lumora::pdf
