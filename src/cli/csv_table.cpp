#include "cli/csv_table.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace opta::cli {

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string CsvRecord(const std::vector<std::string>& fields) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ',';
    out += CsvField(fields[i]);
  }
  out += "\r\n";
  return out;
}

std::vector<ParsedRecord> ParseCsv(std::string_view text) {
  std::vector<ParsedRecord> records;
  ParsedRecord current;
  std::string field;
  bool quoted = false;  // inside a quoted field
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        i += 2;
      } else if (c == '"') {
        quoted = false;
        ++i;
      } else {
        field += c;
        ++i;
      }
      continue;
    }
    if (c == '"') {
      quoted = true;
      ++i;
    } else if (c == ',') {
      current.fields.push_back(std::move(field));
      field.clear();
      ++i;
    } else if (c == '\r' || c == '\n') {
      // CRLF ends a record; a lone LF or CR is taken as an end too.
      std::size_t next = i + 1;
      if (c == '\r') {
        if (next == text.size()) break;  // its LF was never written
        if (text[next] == '\n') ++next;
      }
      i = next;
      current.fields.push_back(std::move(field));
      field.clear();
      current.end = i;
      records.push_back(std::move(current));
      current = ParsedRecord{};
      current.begin = i;
    } else {
      field += c;
      ++i;
    }
  }
  return records;
}

TableFile::~TableFile() {
  if (own_ && fd_ >= 0) ::close(fd_);
}

bool TableFile::create(const std::string& path, std::string_view header) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  own_ = fd_ >= 0;
  return own_ && append(header);
}

bool TableFile::reopen(const std::string& path, std::size_t keep) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  own_ = fd_ >= 0;
  return own_ && ::ftruncate(fd_, static_cast<off_t>(keep)) == 0;
}

bool TableFile::append(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::optional<std::string> ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace opta::cli
