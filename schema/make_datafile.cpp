// Writes a new data file from a SQL script: make_datafile <script.sql> <output file>.
// Refuses to touch an existing output file.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace {

bool fileExists(const char* path) {
    struct stat st {};
    return stat(path, &st) == 0;
}

int fail(sqlite3* db, const std::string& what) {
    std::fprintf(stderr, "make_datafile: %s%s%s\n", what.c_str(), db ? ": " : "",
                 db ? sqlite3_errmsg(db) : "");
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_datafile <script.sql> <output file>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in)
        return fail(nullptr, std::string("cannot read ") + argv[1]);
    std::stringstream script;
    script << in.rdbuf();

    if (fileExists(argv[2]))
        return fail(nullptr, std::string(argv[2]) + " already exists");

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(argv[2], &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
        return fail(db, "cannot create the data file");
    char* error = nullptr;
    const std::string sql = "BEGIN;\n" + script.str() + "\nCOMMIT;";
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        sqlite3_close(db);
        std::remove(argv[2]);
        return fail(nullptr, "script failed: " + message);
    }
    sqlite3_close(db);
    return 0;
}
