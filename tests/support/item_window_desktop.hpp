#pragma once
// A headless desktop that takes item windows, as a page's does: the test holds each window the
// way the person's page would, to read or save it after the call that opened it has ended.

#include <memory>
#include <vector>

#include "Platform/Desktop/headless_desktop.hpp"

namespace lumora::testing {

class ItemWindowDesktop : public desktop::HeadlessDesktop {
public:
    using HeadlessDesktop::HeadlessDesktop;
    std::vector<std::shared_ptr<desktop::ItemWindow>> windows;

protected:
    bool showItemWindow(std::shared_ptr<desktop::ItemWindow> window) override {
        windows.push_back(std::move(window));
        return true;
    }
};

}  // namespace lumora::testing
