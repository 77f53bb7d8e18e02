#pragma once
// The pictures a batch analyses: files named on the command line as given,
// and the pictures under named folders, walked whole and sorted by path.
#include <string>
#include <vector>

namespace opta::cli {

struct BatchInput {
  std::string path;     // as the tables name it
  std::string outName;  // the marked picture's path inside --out
};

// A folder's pictures are its files (subfolders included) whose names end in
// .bmp, .dib, .png, .tif, .tiff, .jpg or .jpeg, any case; names starting with
// a dot and the folder `skip` (the --out folder) are left out. A path named
// twice is analysed once.
std::vector<BatchInput> ListInputs(const std::vector<std::string>& args, const std::string& skip);

// The first two inputs whose marked pictures would land on the same file,
// or an empty string.
std::string OutNameClash(const std::vector<BatchInput>& inputs);

}  // namespace opta::cli
