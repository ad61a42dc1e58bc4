#include "sqlite_handles.hpp"

#include <sqlite3.h>

#include "pim_errors.hpp"

namespace lumora::pim {

namespace {

// How long a writer waits for another process's transaction before reporting the store busy.
constexpr int kBusyTimeoutMs = 5000;

}  // namespace

void Database::Closer::operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }

Database::Database(const std::filesystem::path& file) : m_file(file) {
    sqlite3* raw = nullptr;
    int code = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                               nullptr);
    m_db.reset(raw);  // closed even when opening failed
    if (code != SQLITE_OK) fail(code);
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    sqlite3_extended_result_codes(raw, 1);
    // A read-only file opens, but reports itself; refuse it before a write half-fails.
    if (sqlite3_db_readonly(raw, "main") == 1) fail(SQLITE_READONLY);
    execute("PRAGMA journal_mode=WAL");
    execute("PRAGMA synchronous=FULL");
    execute("PRAGMA foreign_keys=ON");
}

Database::~Database() = default;

void Database::fail(int code) const {
    switch (code & 0xff) {
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
    case SQLITE_AUTH:
        raise(PimError::NoAccess);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        raise(PimError::CorruptStore);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        raise(PimError::Busy);
    default:
        raise(PimError::DiskError, m_db ? sqlite3_errmsg(m_db.get()) : sqlite3_errstr(code));
    }
}

void Database::execute(std::string_view sql) {
    std::string text(sql);
    int code = sqlite3_exec(m_db.get(), text.c_str(), nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) fail(code);
}

int64_t Database::lastInsertId() const { return sqlite3_last_insert_rowid(m_db.get()); }

bool Database::inTransaction() const { return sqlite3_get_autocommit(m_db.get()) == 0; }

int64_t Database::changes() const { return sqlite3_changes64(m_db.get()); }

void Statement::Finalizer::operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }

Statement::Statement(Database& db, std::string_view sql) : m_db(db) {
    sqlite3_stmt* raw = nullptr;
    int code = sqlite3_prepare_v3(db.handle(), sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                  &raw, nullptr);
    m_statement.reset(raw);
    if (code != SQLITE_OK) db.fail(code);
}

Statement::~Statement() = default;

Statement& Statement::bind(int index, int64_t value) {
    int code = sqlite3_bind_int64(m_statement.get(), index, value);
    if (code != SQLITE_OK) m_db.fail(code);
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    int code = sqlite3_bind_text(m_statement.get(), index, text.data(), static_cast<int>(text.size()),
                                 SQLITE_TRANSIENT);
    if (code != SQLITE_OK) m_db.fail(code);
    return *this;
}

Statement& Statement::bindBlob(int index, std::string_view bytes) {
    // An empty file is an empty blob, not NULL: a null pointer would bind NULL.
    int code = bytes.empty() ? sqlite3_bind_zeroblob(m_statement.get(), index, 0)
                             : sqlite3_bind_blob64(m_statement.get(), index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
    if (code != SQLITE_OK) m_db.fail(code);
    return *this;
}

Statement& Statement::bindVariant(int index, const Variant& value) {
    sqlite3_stmt* s = m_statement.get();
    bind(index, static_cast<int64_t>(value.type()));
    int code = SQLITE_OK;
    switch (value.type()) {
    case VarType::Bool:
    case VarType::I2:
    case VarType::I4:
        code = sqlite3_bind_int64(s, index + 1, value.toI4());
        break;
    case VarType::R8:
        code = sqlite3_bind_double(s, index + 1, value.toR8());
        break;
    case VarType::Date:
        code = sqlite3_bind_double(s, index + 1, value.toDate().days);
        break;
    case VarType::String:
        return bind(index + 1, value.str());
    default:  // Empty and Null carry no value; objects and arrays are not stored
        code = sqlite3_bind_null(s, index + 1);
        break;
    }
    if (code != SQLITE_OK) m_db.fail(code);
    return *this;
}

bool Statement::step() {
    int code = sqlite3_step(m_statement.get());
    if (code == SQLITE_ROW) return true;
    if (code == SQLITE_DONE) return false;
    sqlite3_reset(m_statement.get());
    m_db.fail(code);
}

void Statement::run() {
    while (step()) {
    }
    reset();
}

void Statement::reset() {
    sqlite3_reset(m_statement.get());
    sqlite3_clear_bindings(m_statement.get());
}

int64_t Statement::integer(int column) const { return sqlite3_column_int64(m_statement.get(), column); }

std::string Statement::text(int column) const {
    const auto* bytes = sqlite3_column_text(m_statement.get(), column);
    if (!bytes) return {};
    return std::string(reinterpret_cast<const char*>(bytes),
                       static_cast<size_t>(sqlite3_column_bytes(m_statement.get(), column)));
}

std::string Statement::blob(int column) const {
    const void* bytes = sqlite3_column_blob(m_statement.get(), column);
    if (!bytes) return {};
    return std::string(static_cast<const char*>(bytes), static_cast<size_t>(sqlite3_column_bytes(m_statement.get(), column)));
}

bool Statement::isNull(int column) const { return sqlite3_column_type(m_statement.get(), column) == SQLITE_NULL; }

Variant Statement::variant(int column) const {
    sqlite3_stmt* s = m_statement.get();
    switch (static_cast<VarType>(sqlite3_column_int(s, column))) {
    case VarType::Bool:
        return Variant(sqlite3_column_int(s, column + 1) != 0);
    case VarType::I2:
        return Variant(static_cast<int16_t>(sqlite3_column_int(s, column + 1)));
    case VarType::I4:
        return Variant(static_cast<int32_t>(sqlite3_column_int(s, column + 1)));
    case VarType::R8:
        return Variant(sqlite3_column_double(s, column + 1));
    case VarType::Date:
        return Variant(Date{sqlite3_column_double(s, column + 1)});
    case VarType::String:
        return Variant(text(column + 1));
    case VarType::Null:
        return Variant::null();
    default:
        return Variant();
    }
}

Transaction::Transaction(Database& db) : m_db(db) { db.execute("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
    if (!m_done) sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    m_db.execute("COMMIT");
    m_done = true;
}

}  // namespace lumora::pim
