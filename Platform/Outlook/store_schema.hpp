#pragma once
// The store file's tables, and how a store written by an older version gains what it lacks
// (the trash columns, the journal, the items' UIDs) the first time it is opened.

namespace lumora::pim {

class Database;

// Creates or upgrades the tables, in one transaction, when the file is not at the current
// version; a store already current is only read.
void prepareSchema(Database& db);

}  // namespace lumora::pim
