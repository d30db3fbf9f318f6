#pragma once

#include <QString>

#include <functional>

// What one benchmark executable works on and does around Google Benchmark's runs. The one main
// (BenchMain.cpp) makes an empty program folder, calls BenchSetUp, starts the offscreen
// application, copies the data file into the folder (owner-only), locks the folder and connects,
// then runs prepare, the benchmarks, finish, and closes the connection.
struct TBenchSetUp {
    // The data file worked on; empty: none is connected (the benchmarks connect their own).
    QString dataFile;
    // After the connection, before the runs (filling tables); false ends with exit code 1.
    std::function<bool()> prepare;
    // After the runs, before the connection closes.
    std::function<void()> finish;
};

// Defined by each benchmark executable. Runs before the application exists, with the program
// folder's path (ending in '/'): it may register benchmarks and fork.
TBenchSetUp BenchSetUp(const QString& folder);
