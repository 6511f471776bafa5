// Makes the empty exchange file EmptyContacts.mdb from the layout in src/exchange/ExchangeSchema:
// TemplateMaker OUTPUT_FILE. The file is written under a temporary name and renamed into place,
// so that a failed build never leaves half a template.

#include "exchange/ExchangeSchema.h"

#include <sqlite3.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: TemplateMaker OUTPUT_FILE\n");
        return 2;
    }
    const std::string target = argv[1];
    const std::string partial = target + ".part";
    std::remove(partial.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open(partial.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "TemplateMaker: cannot create %s: %s\n", partial.c_str(), sqlite3_errmsg(db));
        sqlite3_close(db);
        return 1;
    }
    const std::string sql = "BEGIN;\n" + qel::exchange::schemaSql() + "COMMIT;\n";
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::fprintf(stderr, "TemplateMaker: %s\n", error ? error : "cannot write the tables");
        sqlite3_free(error);
        sqlite3_close(db);
        std::remove(partial.c_str());
        return 1;
    }
    sqlite3_close(db);
    if (std::rename(partial.c_str(), target.c_str()) != 0) {
        std::perror("TemplateMaker: rename");
        std::remove(partial.c_str());
        return 1;
    }
    return 0;
}
