// Expected data of the tests: plain TSV files and byte files in tests/data,
// written down independently of the tables in src/, so that a wrong value in
// either shows up. The TSV files are UTF-8; every field is converted to GBK
// on reading (iconv natively, the system's code page 936 tables on Windows),
// an encoding route of its own beside the compiler's. Lines that start with
// '#' and empty lines are comments.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace expected {

using Row = std::vector<std::string>;
using Table = std::vector<Row>;

// tests/data/<name>; throws (a failure of the calling test) when it cannot be read.
Table ReadTable(const std::string& name);
std::string ReadBytes(const std::string& name);

// UTF-8 -> GBK.
std::string Gbk(const std::string& utf8);

// Whether a row of catalogue.tsv (root in column 3, item path in 4) can be
// written on Windows: a key directly under HKEY_USERS exists only as a
// loaded hive, ".DEFAULT" or a user's SID ("S-1-..."); any other is refused.
bool WritableCatalogueRow(const Row& row);

// A row of catalogue.tsv as the registry holds it once written: its root's
// name, key, value name ("" for the default value), type (REG_SZ 1,
// REG_DWORD 4) and bytes (a text with its NUL; a number as 4 bytes, low first).
struct CatalogueValue {
  std::string root, key, name;
  uint32_t type;
  std::string bytes;
};
CatalogueValue CatalogueValueOf(const Row& row);

// A field as a number: decimal, or hexadecimal with 0x.
long long Number(const std::string& field);

// The rows whose column holds value, in file order.
Table RowsWhere(const Table& table, size_t column, const std::string& value);

// The values of a column, each once, in the order of their first row.
std::vector<std::string> Distinct(const Table& table, size_t column);

}  // namespace expected

namespace expected {

// Whether the two bytes form one double-byte character of GBK, by the code
// page's own areas (tests/data/gbk_ranges.tsv), not by any rule of src/.
bool IsGbkDoubleByte(unsigned char first, unsigned char second);

// Where the last character of a GBK text begins, walking from its start.
size_t LastGbkCharacterStart(const std::string& text);

}  // namespace expected

namespace expected {

// Where two lists of lines part, for a failure message: the first position
// at which they differ, with both lines, and both sizes.
std::string Difference(const std::vector<std::string>& actual, const std::vector<std::string>& expected);

}  // namespace expected
