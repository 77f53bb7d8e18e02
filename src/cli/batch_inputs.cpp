#include "cli/batch_inputs.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "cli/recipe.h"

namespace opta::cli {
namespace {

namespace fs = std::filesystem;

bool IsPictureName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  static const std::set<std::string> kExtensions = {"bmp", "dib", "png", "tif", "tiff", "jpg", "jpeg"};
  return kExtensions.count(Lower(name.substr(dot + 1))) > 0;
}

// A marked picture is saved as BMP: "a.png" becomes "a.png.bmp", so that
// "a.png" and "a.bmp" beside it keep apart.
std::string MarkedName(const std::string& name) {
  return Lower(name).ends_with(".bmp") ? name : name + ".bmp";
}

// Joined as Python's os.path.join joins, so a workflow that lists the same
// folder names each picture exactly as the batch does.
std::string Join(const std::string& folder, const std::string& rel) {
  return folder.empty() || folder.back() == '/' ? folder + rel : folder + "/" + rel;
}

bool Hidden(const fs::path& rel) {
  for (const fs::path& part : rel)
    if (part.string().starts_with('.')) return true;
  return false;
}

void Walk(const std::string& folder, const std::string& skip, std::vector<BatchInput>& out) {
  std::error_code ec;
  std::vector<std::string> found;
  const auto options = fs::directory_options::skip_permission_denied;
  for (auto it = fs::recursive_directory_iterator(folder, options, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    const fs::path rel = it->path().lexically_relative(folder);
    std::error_code e;
    const bool folderEntry = it->is_directory(e);
    if (Hidden(rel) || (folderEntry && !skip.empty() && fs::equivalent(it->path(), skip, e))) {
      if (folderEntry) it.disable_recursion_pending();
      continue;
    }
    if (!folderEntry && it->is_regular_file(e) && IsPictureName(rel.filename().string()))
      found.push_back(rel.generic_string());
  }
  std::sort(found.begin(), found.end());
  for (const std::string& rel : found) out.push_back(BatchInput{Join(folder, rel), MarkedName(rel)});
}

}  // namespace

std::vector<BatchInput> ListInputs(const std::vector<std::string>& args, const std::string& skip) {
  std::vector<BatchInput> all;
  for (const std::string& arg : args) {
    std::error_code ec;
    if (fs::is_directory(arg, ec)) {
      Walk(arg, skip, all);
    } else {
      all.push_back(BatchInput{arg, MarkedName(fs::path(arg).filename().string())});
    }
  }
  std::vector<BatchInput> out;
  std::set<std::string> seen;
  for (BatchInput& in : all)
    if (seen.insert(in.path).second) out.push_back(std::move(in));
  return out;
}

std::string OutNameClash(const std::vector<BatchInput>& inputs) {
  std::map<std::string, const BatchInput*> names;
  for (const BatchInput& in : inputs) {
    auto [it, fresh] = names.emplace(in.outName, &in);
    if (!fresh) return it->second->path + " and " + in.path + " would both be saved as " + in.outName;
  }
  return {};
}

}  // namespace opta::cli
