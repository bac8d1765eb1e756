#pragma once
// The benchmark's groups of figures, each adding its rows to the table.
#include "bench/bench_support.h"

namespace bench {

void BenchWaiting(const Options& options, Table& table, Yardsticks& yardsticks, const StepTraceFile& trace);

void BenchMessageBoxReference(const Options& options, Table& table, Yardsticks& yardsticks,
                              const StepTraceFile& trace);
// The installer's end message against a bare window's message box, once both are measured.
void AddMessageRatio(const Yardsticks& yardsticks, Table& table);

void BenchStartup(const Options& options, Table& table, const StepTraceFile& trace);

void BenchLargeInstall(const Options& options, Table& table, const StepTraceFile& trace);

void HoldFloorSteady(const Options& options);
void HoldInstallerSteady(const Options& options);

}  // namespace bench
