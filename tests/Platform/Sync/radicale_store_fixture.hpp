#pragma once
// The ground of the sync suites: a store in a private data folder, a real radicale with alice's
// client on it, and a desktop whose clock reads 2026-12-08 09:10.

#include <gtest/gtest.h>

#include "Platform/Desktop/headless_desktop.hpp"
#include "Platform/Outlook/store_history.hpp"
#include "tests/Automation/temp_folder.hpp"
#include "tests/Platform/Dav/dav_test_support.hpp"
#include "tests/Platform/Outlook/pim_fixture.hpp"

namespace lumora::sync {

class RadicaleStoreTest : public ::testing::Test {
protected:
    int64_t folderOf(pim::FolderType type) { return m_store.defaultFolder(m_store.currentMailbox().id, type).id; }
    size_t journalSize() { return pim::listHistory(m_store, {1000, std::nullopt}).size(); }

    test::RadicaleServer m_server;
    dav::DavClient m_client = dav::aliceOn(m_server);
    lumora::tests::TempFolder m_data;
    desktop::HeadlessDesktop m_desktop{desktop::SystemConfig{pim::tests::civilDate(2026, 12, 8, 9, 10)}};
    desktop::ScopedDesktop m_scope{m_desktop};
    pim::PimStore m_store{m_data.path()};
};

}  // namespace lumora::sync
