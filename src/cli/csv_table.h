#pragma once
// RFC 4180 tables: a field is quoted when it holds a comma, a double quote,
// CR or LF (its quotes doubled), and every record ends with CRLF. A record
// reaches its file in one write to a descriptor opened for appending, so a
// process killed at any moment leaves whole records and at most one unended
// tail, which a resumed batch cuts off.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace opta::cli {

std::string CsvField(std::string_view text);
// The fields quoted as needed, joined by commas, ended by CRLF.
std::string CsvRecord(const std::vector<std::string>& fields);

struct ParsedRecord {
  std::vector<std::string> fields;
  std::size_t begin = 0, end = 0;  // its bytes in the text, CRLF included
};
// The complete records of a table, in order; a last record without its line
// end is not complete and is left out.
std::vector<ParsedRecord> ParseCsv(std::string_view text);

// One table file (or standard output) written a record at a time.
class TableFile {
 public:
  TableFile() = default;
  TableFile(const TableFile&) = delete;
  TableFile& operator=(const TableFile&) = delete;
  ~TableFile();

  // A new table holding the header only.
  bool create(const std::string& path, std::string_view header);
  // An existing table kept up to `keep` bytes; later records are appended.
  bool reopen(const std::string& path, std::size_t keep);
  void useStandardOutput() { fd_ = 1; }
  // One write of whole records; false when they could not all be written.
  bool append(std::string_view bytes);

 private:
  int fd_ = -1;
  bool own_ = false;
};

// The whole of a file, or nothing when it cannot be read.
std::optional<std::string> ReadTextFile(const std::string& path);

}  // namespace opta::cli
