#pragma once
// The document views open on the calling thread, oldest first: what the application counts and
// which is active (the last opened). A view stays open until it, or the application, closes it,
// even when script no longer holds it, as a window stays open on the screen.

#include <memory>
#include <vector>

namespace lumora::pdf {

class DocumentView;

class OpenViews {
public:
    static OpenViews& ofThisThread();

    // Opened anew, a view becomes the active one.
    void add(std::shared_ptr<DocumentView> view);
    void remove(const DocumentView* view);
    size_t count() const { return m_views.size(); }
    std::shared_ptr<DocumentView> active() const;
    // The view at a 0-based position, oldest first; nullptr beyond the end.
    std::shared_ptr<DocumentView> at(size_t position) const;
    // Every view, taken off the list; their owner closes them.
    std::vector<std::shared_ptr<DocumentView>> takeAll();

private:
    std::vector<std::shared_ptr<DocumentView>> m_views;
};

}  // namespace lumora::pdf
