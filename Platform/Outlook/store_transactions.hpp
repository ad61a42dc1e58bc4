#pragma once
// How the store's writes become durable. Inside a top-level call, the first write begins one
// transaction (BEGIN IMMEDIATE) that the call's later writes share, each in a savepoint of its
// own so that a write that fails leaves none of itself behind (the first needs none: its failure
// rolls back the transaction, which holds nothing else yet); the transaction is committed when
// the call ends or the person is about to wait. Outside any call each write is a durable
// transaction of its own. Either way, the store's journal is told when a transaction begins and
// is about to commit, so that its entry is written in the same transaction as the items.
//
// A call's reads before its first write share one read transaction too: the call sees the store
// as it was at its first read, and a walk over thousands of items takes the file's locks once
// rather than for every query. It ends, with nothing to sync, where the call's writes would be
// committed, and when the call first writes, whose transaction then begins afresh.

#include <optional>

#include "Automation/error.hpp"
#include "Automation/top_level_call.hpp"

namespace lumora::pim {

class Database;
class StatementCache;

// What the store does at the edges of a transaction.
class TransactionListener {
public:
    virtual ~TransactionListener() = default;
    virtual void transactionBegun() = 0;
    virtual void beforeCommit() = 0;
    // The transaction was rolled back as a whole: what was remembered of it is gone.
    virtual void rolledBack() noexcept = 0;
    // One write within a larger one was rolled back, with the writes it held that had finished:
    // what was remembered of those is gone, the transaction goes on.
    virtual void writeRolledBack() noexcept = 0;
};

class StoreTransactions final : public CallParticipant {
public:
    // The statements that begin, mark and end transactions are prepared once, in `statements`:
    // a purge makes thousands of savepoints.
    StoreTransactions(StatementCache& statements, TransactionListener& listener);
    // A store going away in the middle of a call commits what the call wrote through it.
    ~StoreTransactions() override;
    StoreTransactions(const StoreTransactions&) = delete;
    StoreTransactions& operator=(const StoreTransactions&) = delete;

    // One write: rolled back at scope exit unless committed. A whole write is one that the
    // writes made within it join without savepoints of their own, so that it lands whole or not
    // at all for the cost of one savepoint (each savepoint held open makes every later one copy
    // the pages it changes again); a write within it that fails is undone with it.
    class Write {
    public:
        enum class Kind { Own, Whole };
        explicit Write(StoreTransactions& transactions, Kind kind = Kind::Own);
        ~Write();
        Write(const Write&) = delete;
        Write& operator=(const Write&) = delete;
        void commit();

    private:
        // What the write undoes when it fails: its own transaction outside a call; the call's
        // transaction when it began it, since nothing else is in it yet (a savepoint would cost
        // a journal of its own for every such write); else its savepoint.
        enum class Scope { OwnTransaction, CallTransaction, Savepoint };
        StoreTransactions& m_transactions;
        Scope m_scope = Scope::Savepoint;
        bool m_withinWhole = false;  // part of a whole write: nothing of its own to commit or undo
        bool m_whole = false;
        bool m_done = false;
    };

    // Before a read: inside a call with no transaction open, begins the call's read transaction.
    // True when it began one, so that the store can check what it cached against it.
    bool beginReading();

    // Commits the running call's transaction; a failure is raised by the next write.
    void settle() noexcept override;
    // Raises, once, the failure of a commit made when a call ended, for a caller that must know
    // its call's work is durable before it says so.
    void raiseLostCommit();
    void raiseSettleFailure() override { raiseLostCommit(); }

private:
    void endReading() noexcept;

    StatementCache& m_statements;
    Database& m_db;
    TransactionListener& m_listener;
    TopLevelCall* m_joined = nullptr;  // the call whose transaction is open
    bool m_reading = false;            // that transaction is the call's read transaction
    int m_wholeWrites = 0;             // whole writes open
    std::optional<Error> m_lostCommit;
};

}  // namespace lumora::pim
