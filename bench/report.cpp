#include "bench/report.h"

#include <algorithm>
#include <array>
#include <utility>

namespace bench {

Summary Summarize(std::vector<double> values) {
  Summary summary;
  summary.count = static_cast<int>(values.size());
  if (values.empty()) return summary;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  summary.median = values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
  summary.min = values.front();
  summary.max = values.back();
  return summary;
}

std::string Fixed(double value, int decimals, const std::string& unit) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return unit.empty() ? std::string(buffer) : std::string(buffer) + " " + unit;
}

void Table::AddFailure(const std::string& number, const std::string& figure, const std::string& reason) {
  rows_.push_back({number, figure, "-", "-", "-", "-", "FAILED: " + reason});
}

void Table::Print(std::FILE* out) const {
  const Row header{"#", "Figure", "Median", "Spread (min .. max)", "Runs", "Goal", "Verdict"};
  const auto fields = [](const Row& row) {
    return std::array<const std::string*, 7>{&row.number, &row.figure, &row.median, &row.spread,
                                             &row.runs,   &row.goal,   &row.verdict};
  };
  std::array<std::size_t, 7> widths{};
  const auto widen = [&](const Row& row) {
    const auto cells = fields(row);
    for (std::size_t i = 0; i < cells.size(); ++i) widths[i] = std::max(widths[i], cells[i]->size());
  };
  widen(header);
  for (const Row& row : rows_) widen(row);
  const auto print = [&](const Row& row) {
    const auto cells = fields(row);
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      std::string cell = *cells[i];
      if (i + 1 < cells.size()) cell.resize(widths[i], ' ');
      line += cell;
      if (i + 1 < cells.size()) line += "  ";
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::fprintf(out, "%s\n", line.c_str());
  };
  print(header);
  std::size_t total = 0;
  for (std::size_t width : widths) total += width + 2;
  std::fprintf(out, "%s\n", std::string(total - 2, '-').c_str());
  // In the order of their numbers, whichever group was measured first.
  std::vector<Row> ordered = rows_;
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const Row& a, const Row& b) { return a.number < b.number; });
  for (const Row& row : ordered) print(row);
}

}  // namespace bench
