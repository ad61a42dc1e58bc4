#pragma once
// Prepared statements of one connection, kept for its life and keyed by their text, which is
// always a literal: the key's view outlives the cache.

#include <memory>
#include <string_view>
#include <unordered_map>

#include "sqlite_handles.hpp"

namespace lumora::pim {

class StatementCache {
public:
    explicit StatementCache(Database& db) : m_db(db) {}
    ~StatementCache() { m_statements.clear(); }  // finalized before the connection closes
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The statement, reset and with no bindings.
    Statement& operator()(std::string_view sql) {
        auto it = m_statements.find(sql);
        if (it == m_statements.end()) it = m_statements.emplace(sql, std::make_unique<Statement>(m_db, sql)).first;
        it->second->reset();
        return *it->second;
    }

    Database& database() { return m_db; }

private:
    Database& m_db;
    std::unordered_map<std::string_view, std::unique_ptr<Statement>> m_statements;
};

}  // namespace lumora::pim
