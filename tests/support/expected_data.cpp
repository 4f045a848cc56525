#include "support/expected_data.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace expected {

std::string ReadBytes(const std::string& name) {
  std::ifstream in(std::string(LUMENO_TEST_DATA) + "/" + name, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read the test data file " + name);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

#ifdef _WIN32
std::string Gbk(const std::string& utf8) {
  if (utf8.empty()) return {};
  std::wstring wide(utf8.size(), L'\0');
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                              wide.data(), static_cast<int>(wide.size()));
  std::string gbk(utf8.size() * 2, '\0');
  BOOL lossy = FALSE;
  int m = n > 0 ? WideCharToMultiByte(936, 0, wide.data(), n, gbk.data(), static_cast<int>(gbk.size()), nullptr,
                                      &lossy)
                : 0;
  if (m <= 0 || lossy) throw std::runtime_error("no GBK form for " + utf8);
  gbk.resize(m);
  return gbk;
}
#else
std::string Gbk(const std::string& utf8) {
  iconv_t converter = iconv_open("GBK", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no GBK");
  std::string gbk(utf8.size() * 2 + 1, '\0');
  char* in = const_cast<char*>(utf8.data());
  char* out = gbk.data();
  size_t in_left = utf8.size(), out_left = gbk.size();
  size_t result = iconv(converter, &in, &in_left, &out, &out_left);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1) || in_left != 0) throw std::runtime_error("no GBK form for " + utf8);
  gbk.resize(gbk.size() - out_left);
  return gbk;
}
#endif

Table ReadTable(const std::string& name) {
  Table table;
  std::istringstream lines(ReadBytes(name));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    Row row;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      row.push_back(Gbk(line.substr(start, tab - start)));
    row.push_back(Gbk(line.substr(start)));
    table.push_back(row);
  }
  return table;
}

long long Number(const std::string& field) {
  size_t used = 0;
  long long value = std::stoll(field, &used, 0);
  if (used != field.size()) throw std::runtime_error("not a number: " + field);
  return value;
}

bool WritableCatalogueRow(const Row& row) {
  if (row.at(3) != "HKEY_USERS") return true;
  const std::string first = row.at(4).substr(0, row.at(4).find('\\'));
  return first == ".DEFAULT" || first.rfind("S-1-", 0) == 0;
}

CatalogueValue CatalogueValueOf(const Row& row) {
  const std::string& path = row.at(4);
  const size_t split = path.rfind('\\');
  CatalogueValue value{row.at(3), path.substr(0, split), path.substr(split + 1), 1, row.at(6) + '\0'};
  if (row.at(5) == "REG_DWORD") {
    const auto number = static_cast<uint32_t>(Number(row.at(6)));
    value.type = 4;
    value.bytes.clear();
    for (int shift = 0; shift < 32; shift += 8) value.bytes.push_back(static_cast<char>((number >> shift) & 0xFF));
  }
  return value;
}

Table RowsWhere(const Table& table, size_t column, const std::string& value) {
  Table rows;
  for (const Row& row : table)
    if (row.at(column) == value) rows.push_back(row);
  return rows;
}

std::vector<std::string> Distinct(const Table& table, size_t column) {
  std::vector<std::string> values;
  for (const Row& row : table) {
    bool seen = false;
    for (const std::string& v : values) seen |= v == row.at(column);
    if (!seen) values.push_back(row.at(column));
  }
  return values;
}

}  // namespace expected

namespace expected {

bool IsGbkDoubleByte(unsigned char first, unsigned char second) {
  static const std::vector<bool> pairs = [] {
    std::vector<bool> table(256 * 256, false);
    for (const Row& area : ReadTable("gbk_ranges.tsv")) {
      const long long low = Number(area.at(1)), high = Number(area.at(2));
      for (long long a = low >> 8; a <= high >> 8; ++a)
        for (long long b = low & 0xFF; b <= (high & 0xFF); ++b)
          if (b != 0x7F) table[a * 256 + b] = true;
    }
    return table;
  }();
  return pairs[first * 256 + second];
}

size_t LastGbkCharacterStart(const std::string& text) {
  size_t last = 0;
  for (size_t i = 0; i < text.size();) {
    last = i;
    i += (i + 1 < text.size() && IsGbkDoubleByte(text[i], text[i + 1])) ? 2 : 1;
  }
  return last;
}

}  // namespace expected

namespace expected {

std::string Difference(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  size_t i = 0;
  while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) ++i;
  std::string text = std::to_string(actual.size()) + " lines, " + std::to_string(expected.size()) + " expected";
  if (i < actual.size() || i < expected.size()) {
    text += "; line " + std::to_string(i) + " is \"" + (i < actual.size() ? actual[i] : "(none)") + "\", expected \"" +
            (i < expected.size() ? expected[i] : "(none)") + "\"";
  }
  return text;
}

}  // namespace expected
