#include "store_transactions.hpp"

#include <sqlite3.h>

#include "pim_errors.hpp"
#include "sqlite_handles.hpp"
#include "statement_cache.hpp"

namespace lumora::pim {

namespace {

// Best effort, for paths that must not throw.
void quietly(Database& db, const char* sql) noexcept { sqlite3_exec(db.handle(), sql, nullptr, nullptr, nullptr); }

}  // namespace

StoreTransactions::StoreTransactions(StatementCache& statements, TransactionListener& listener)
    : m_statements(statements), m_db(statements.database()), m_listener(listener) {}

StoreTransactions::~StoreTransactions() {
    if (!m_joined) return;
    TopLevelCall* call = m_joined;
    settle();
    call->leave(*this);
}

StoreTransactions::Write::Write(StoreTransactions& transactions, Kind kind) : m_transactions(transactions) {
    Database& db = transactions.m_db;
    if (transactions.m_wholeWrites > 0) {
        m_withinWhole = true;
        return;
    }
    // A commit that failed after its call returned is reported by the next write, once.
    transactions.raiseLostCommit();
    transactions.endReading();
    if (!sqlite3_get_autocommit(db.handle())) {
        transactions.m_statements("SAVEPOINT store_write").run();
    } else {
        transactions.m_statements("BEGIN IMMEDIATE").run();
        try {
            transactions.m_listener.transactionBegun();
        } catch (...) {
            quietly(db, "ROLLBACK");
            transactions.m_listener.rolledBack();
            throw;
        }
        if (TopLevelCall* call = TopLevelCall::current()) {
            call->join(transactions);
            transactions.m_joined = call;
            m_scope = Scope::CallTransaction;
        } else {
            m_scope = Scope::OwnTransaction;
        }
    }
    m_whole = kind == Kind::Whole;
    if (m_whole) ++transactions.m_wholeWrites;
}

void StoreTransactions::Write::commit() {
    if (m_withinWhole) {
        m_done = true;
        return;
    }
    if (m_whole) {
        --m_transactions.m_wholeWrites;  // the writes within it are done
        m_whole = false;
    }
    Database& db = m_transactions.m_db;
    switch (m_scope) {
    case Scope::OwnTransaction:
        m_transactions.m_listener.beforeCommit();
        m_transactions.m_statements("COMMIT").run();
        break;
    case Scope::CallTransaction: break;  // the call commits it
    case Scope::Savepoint: m_transactions.m_statements("RELEASE store_write").run(); break;
    }
    m_done = true;
}

StoreTransactions::Write::~Write() {
    if (m_done || m_withinWhole) return;
    if (m_whole) --m_transactions.m_wholeWrites;
    Database& db = m_transactions.m_db;
    if (m_scope != Scope::Savepoint || sqlite3_get_autocommit(db.handle())) {
        // Some failures (a full disk, lost memory) end the whole transaction on their own.
        quietly(db, "ROLLBACK");
        m_transactions.m_listener.rolledBack();
    } else {
        quietly(db, "ROLLBACK TO store_write");
        quietly(db, "RELEASE store_write");
        m_transactions.m_listener.writeRolledBack();
    }
}

void StoreTransactions::raiseLostCommit() {
    if (!m_lostCommit) return;
    Error lost = std::move(*m_lostCommit);
    m_lostCommit.reset();
    throw lost;
}

bool StoreTransactions::beginReading() {
    if (!sqlite3_get_autocommit(m_db.handle())) return false;
    TopLevelCall* call = TopLevelCall::current();
    if (!call) return false;
    m_statements("BEGIN").run();
    call->join(*this);
    m_joined = call;
    m_reading = true;
    return true;
}

void StoreTransactions::endReading() noexcept {
    if (!m_reading) return;
    m_reading = false;
    quietly(m_db, "COMMIT");
    // A read transaction holds nothing to keep: whatever kept it open, it must not stay open
    // under the write that follows.
    if (!sqlite3_get_autocommit(m_db.handle())) quietly(m_db, "ROLLBACK");
}

void StoreTransactions::settle() noexcept {
    if (!m_joined) return;
    m_joined = nullptr;
    if (m_reading) return endReading();
    if (sqlite3_get_autocommit(m_db.handle())) {
        // Already ended by a failure, which the write that met it has raised.
        m_listener.rolledBack();
        return;
    }
    try {
        m_listener.beforeCommit();
        m_statements("COMMIT").run();
        return;
    } catch (const Error& error) {
        m_lostCommit = error;
    } catch (...) {
        m_lostCommit = errorOf(PimError::DiskError);
    }
    quietly(m_db, "ROLLBACK");
    m_listener.rolledBack();
}

}  // namespace lumora::pim
