// The database engine TEngine and the record types over SQLite.
// Its classes arrive with the issues that build them.
