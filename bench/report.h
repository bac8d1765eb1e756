#pragma once
// Medians with their spread, and the table the benchmarks print.
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

struct Summary {
  double median = 0;
  double min = 0;
  double max = 0;
  int count = 0;
};
// The middle value (the mean of the two middle ones for an even count).
Summary Summarize(std::vector<double> values);

// Fixed decimals, then the unit: Fixed(0.25, 2, "%") is "0.25 %".
std::string Fixed(double value, int decimals, const std::string& unit);

struct Row {
  std::string number;
  std::string figure;
  std::string median;
  std::string spread;  // min .. max
  std::string runs;
  std::string goal;
  std::string verdict;  // "met", "NOT met", or empty where there is no goal
};

class Table {
 public:
  void Add(Row row) { rows_.push_back(std::move(row)); }
  // A figure that could not be measured, with the reason.
  void AddFailure(const std::string& number, const std::string& figure, const std::string& reason);
  void Print(std::FILE* out) const;

 private:
  std::vector<Row> rows_;
};

}  // namespace bench
