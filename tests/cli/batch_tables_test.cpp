// The batch mode's tables and inputs: RFC 4180 quoting both ways, where a
// record ends (and where a torn one does not), appending and cutting back a
// table file, and the walk of input folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/batch_inputs.h"
#include "cli/csv_table.h"

namespace opta::cli {
namespace {

TEST(Csv, FieldsAreQuotedOnlyWhenTheyMustBe) {
  EXPECT_EQ(CsvField("plain name.bmp"), "plain name.bmp");
  EXPECT_EQ(CsvField(""), "");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("line\nbreak"), "\"line\nbreak\"");
  EXPECT_EQ(CsvField("cr\r"), "\"cr\r\"");
  EXPECT_EQ(CsvRecord({"a,b", "1", ""}), "\"a,b\",1,\r\n");
}

TEST(Csv, ParsingFindsWholeRecordsOnly) {
  const std::string text = "h1,h2\r\n\"a,\"\"b\"\"\r\nc\",2\r\nlast,3";
  const std::vector<ParsedRecord> r = ParseCsv(text);
  ASSERT_EQ(r.size(), 2u);  // the last record has no line end yet
  EXPECT_EQ(r[0].fields, (std::vector<std::string>{"h1", "h2"}));
  EXPECT_EQ(r[1].fields, (std::vector<std::string>{"a,\"b\"\r\nc", "2"}));
  EXPECT_EQ(r[1].begin, 7u);
  EXPECT_EQ(r[1].end, text.size() - 6);
  // A record ends with its CRLF: a CR alone at the very end is a torn one.
  EXPECT_EQ(ParseCsv("x,1\r").size(), 0u);
  EXPECT_EQ(ParseCsv("x,1\r\n").size(), 1u);
  EXPECT_EQ(ParseCsv("x,1\n").size(), 1u);
  EXPECT_EQ(ParseCsv("\"open,1\r\n").size(), 0u);  // inside quotes a line end is data
  EXPECT_EQ(ParseCsv(",\r\n")[0].fields, (std::vector<std::string>{"", ""}));
}

TEST(Csv, TableFilesAppendAndCutBack) {
  const std::string path = ::testing::TempDir() + "/batch_table.csv";
  {
    TableFile t;
    ASSERT_TRUE(t.create(path, "h\r\n"));
    ASSERT_TRUE(t.append("one\r\n"));
    ASSERT_TRUE(t.append("two\r\ntorn"));
  }
  EXPECT_EQ(ReadTextFile(path), "h\r\none\r\ntwo\r\ntorn");
  {
    TableFile t;
    ASSERT_TRUE(t.reopen(path, 8));  // keeps "h\r\none\r\n"
    ASSERT_TRUE(t.append("three\r\n"));
  }
  EXPECT_EQ(ReadTextFile(path), "h\r\none\r\nthree\r\n");
  TableFile missing;
  EXPECT_FALSE(missing.reopen(::testing::TempDir() + "/no/such/table.csv", 0));
  EXPECT_FALSE(ReadTextFile(::testing::TempDir() + "/no/such/table.csv"));
}

TEST(Inputs, FoldersAreWalkedSortedAndFilesTakenAsGiven) {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(::testing::TempDir()) / "batch_inputs";
  fs::remove_all(root);
  for (const char* rel :
       {"b.png", "A.TIF", "sub/c.jpg", "sub/.d.bmp", ".e/f.bmp", "g.txt", "out/h.bmp", "i.bmp"}) {
    fs::create_directories((root / rel).parent_path());
    std::ofstream(root / rel) << "x";
  }
  const std::string dir = root.string();
  const std::vector<BatchInput> in = ListInputs({dir, dir + "/b.png", "elsewhere/z.png"}, dir + "/out");
  std::vector<std::string> paths, names;
  for (const BatchInput& b : in) {
    paths.push_back(b.path);
    names.push_back(b.outName);
  }
  // b.png named twice is analysed once; a file that is not there is still an input.
  EXPECT_EQ(paths, (std::vector<std::string>{dir + "/A.TIF", dir + "/b.png", dir + "/i.bmp",
                                             dir + "/sub/c.jpg", "elsewhere/z.png"}));
  EXPECT_EQ(names,
            (std::vector<std::string>{"A.TIF.bmp", "b.png.bmp", "i.bmp", "sub/c.jpg.bmp", "z.png.bmp"}));
  EXPECT_EQ(ListInputs({dir + "/"}, "")[0].path, dir + "/A.TIF");  // joined as os.path.join does
  EXPECT_EQ(OutNameClash(in), "");
  const std::vector<BatchInput> twice = ListInputs({dir + "/i.bmp", dir + "/out/h.bmp", "x/i.BMP"}, "");
  EXPECT_EQ(OutNameClash(twice), "");  // i.bmp and i.BMP are two names
  const std::vector<BatchInput> clash = ListInputs({dir + "/i.bmp", "x/i.bmp"}, "");
  EXPECT_EQ(OutNameClash(clash), dir + "/i.bmp and x/i.bmp would both be saved as i.bmp");
}

}  // namespace
}  // namespace opta::cli
