#pragma once
// Owning handles over SQLite's connection and statements, with the C types kept out of every
// other header. Failures become Errors of the store's table; destructors never throw, and a
// transaction not committed by the end of its scope is rolled back.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Automation/variant.hpp"

struct sqlite3;
struct sqlite3_stmt;

namespace lumora::pim {

class Database {
public:
    // Opens (creating when absent) the file, in WAL mode with a busy timeout so that several
    // processes (the bridge, the CLI) can share it, and every commit synced to disk.
    explicit Database(const std::filesystem::path& file);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void execute(std::string_view sql);
    int64_t lastInsertId() const;
    // True between BEGIN and its COMMIT or ROLLBACK.
    bool inTransaction() const;
    // Rows the last INSERT, UPDATE or DELETE changed.
    int64_t changes() const;
    sqlite3* handle() const { return m_db.get(); }
    const std::filesystem::path& file() const { return m_file; }

    // Raises the store's error for a failed SQLite call.
    [[noreturn]] void fail(int code) const;

private:
    struct Closer {
        void operator()(sqlite3* db) const noexcept;
    };
    std::unique_ptr<sqlite3, Closer> m_db;
    std::filesystem::path m_file;
};

class Statement {
public:
    Statement(Database& db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, int64_t value);
    Statement& bind(int index, std::string_view text);
    Statement& bindBlob(int index, std::string_view bytes);
    // A variant as its stored kind and value, in two parameters: kind at index, value at index + 1.
    Statement& bindVariant(int index, const Variant& value);
    // Steps once: true while a row is available.
    bool step();
    // Steps to completion, for statements that return no rows.
    void run();
    void reset();

    int64_t integer(int column) const;
    std::string text(int column) const;
    std::string blob(int column) const;
    bool isNull(int column) const;
    // The variant stored by bindVariant in two columns: kind at column, value at column + 1.
    Variant variant(int column) const;

private:
    Database& m_db;
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const noexcept;
    };
    std::unique_ptr<sqlite3_stmt, Finalizer> m_statement;
};

// BEGIN IMMEDIATE at construction; ROLLBACK at scope exit unless commit() ran.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    bool m_done = false;
};

}  // namespace lumora::pim
