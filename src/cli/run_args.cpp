// Parsing the run verb's arguments: menu names and ids to commands, and the
// answers for their dialogs, file choosers, message boxes and choosers.
#include "cli/run_args.h"

#include <cctype>
#include <cstdio>
#include <string_view>

#include "resources/resources.h"

namespace opta::cli {

std::string Lower(std::string_view s) {
  std::string out;
  for (char c : s) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

namespace {

// A menu text as a name: no ampersands, no blanks around it, and for
// comparing, single blanks and lower case.
std::string CleanText(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '&') out += c;
  const auto first = out.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(" \t") - first + 1);
}

std::string NameKey(std::string_view text) {
  std::string out;
  for (char c : CleanText(text)) {
    if (c == ' ' || c == '\t') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return out;
}

struct MenuEntry {
  int id = 0;
  std::vector<std::string> path;  // cleaned texts, top-level menu first
};

void CollectEntries(const std::vector<resources::MenuItem>& items, std::vector<std::string>& path,
                    std::vector<MenuEntry>& out) {
  for (const auto& item : items) {
    if (item.kind == resources::MenuItem::Kind::Separator) continue;
    path.push_back(CleanText(item.text));
    if (item.kind == resources::MenuItem::Kind::Submenu) {
      CollectEntries(item.items, path, out);
    } else {
      out.push_back(MenuEntry{item.id, path});
    }
    path.pop_back();
  }
}

const std::vector<MenuEntry>& MenuEntries() {
  static const std::vector<MenuEntry> entries = [] {
    std::vector<MenuEntry> out;
    std::vector<std::string> path;
    CollectEntries(resources::mainMenu(), path, out);
    return out;
  }();
  return entries;
}

std::string JoinPath(const std::vector<std::string>& path) {
  std::string out;
  for (const auto& p : path) out += (out.empty() ? "" : "/") + p;
  return out;
}

std::vector<std::string> SplitPath(std::string_view name) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = name.find('/', start);
    parts.push_back(NameKey(name.substr(start, slash == std::string_view::npos ? name.npos : slash - start)));
    if (slash == std::string_view::npos) return parts;
    start = slash + 1;
  }
}

}  // namespace

std::optional<int> ParseInt(std::string_view s) {
  if (s.empty() || s.size() > 9) return std::nullopt;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

namespace {

// Ids the program answers besides the menu's: toolbar buttons and popup items.
bool IsKnownId(int id) {
  for (const auto& e : MenuEntries())
    if (e.id == id) return true;
  for (const auto& b : resources::largeToolbar())
    if (b.command == id) return true;
  for (const auto& b : resources::smallToolbar())
    if (b.command == id) return true;
  for (const auto& p : resources::popupMenu())
    if (p.command == id) return true;
  return false;
}

// The command a name stands for, or an error line.
struct Resolved {
  int id = 0;
  std::string error;
};

Resolved ResolveCommand(std::string_view name) {
  if (std::optional<int> id = ParseInt(name)) {
    if (IsKnownId(*id)) return Resolved{*id, {}};
    return Resolved{0, "unknown command id '" + std::string(name) + "'"};
  }
  const std::vector<std::string> wanted = SplitPath(name);
  std::vector<const MenuEntry*> matches;
  for (const auto& e : MenuEntries()) {
    if (e.path.size() < wanted.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < wanted.size() && same; ++i)
      same = NameKey(e.path[e.path.size() - wanted.size() + i]) == wanted[i];
    if (same && !wanted.back().empty()) matches.push_back(&e);
  }
  if (matches.empty()) return Resolved{0, "unknown command '" + std::string(name) + "'"};
  for (const MenuEntry* m : matches) {
    if (m->id != matches.front()->id) {
      std::string list;
      for (const MenuEntry* x : matches) list += (list.empty() ? "" : ", ") + JoinPath(x->path);
      return Resolved{0, "ambiguous command '" + std::string(name) + "': " + list};
    }
  }
  return Resolved{matches.front()->id, {}};
}

std::optional<Colour> ParseColour(std::string_view s) {
  int parts[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    const std::size_t comma = s.find(',');
    const std::optional<int> v = ParseInt(s.substr(0, comma));
    if (!v || *v > 255 || (i < 2) == (comma == std::string_view::npos)) return std::nullopt;
    parts[i] = *v;
    s = comma == std::string_view::npos ? std::string_view{} : s.substr(comma + 1);
  }
  return Rgb(parts[0], parts[1], parts[2]);
}

// FACE,HEIGHT,R,G,B then any of bold, italic, underline, strikeout.
std::optional<std::pair<FontDesc, Colour>> ParseFont(std::string_view s) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t comma = s.find(',', start);
    parts.push_back(s.substr(start, comma == std::string_view::npos ? s.npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (parts.size() < 5) return std::nullopt;
  const std::optional<int> height = ParseInt(parts[1]);
  const std::string rgb = std::string(parts[2]) + "," + std::string(parts[3]) + "," + std::string(parts[4]);
  const std::optional<Colour> colour = ParseColour(rgb);
  if (!height || !colour) return std::nullopt;
  FontDesc font;
  font.face = std::string(parts[0]);
  font.height = *height;
  for (std::size_t i = 5; i < parts.size(); ++i) {
    const std::string effect = Lower(parts[i]);
    if (effect == "bold") {
      font.weight = 700;
    } else if (effect == "italic") {
      font.italic = true;
    } else if (effect == "underline") {
      font.underline = true;
    } else if (effect == "strikeout") {
      font.strikeOut = true;
    } else {
      return std::nullopt;
    }
  }
  return std::make_pair(font, *colour);
}

}  // namespace

bool AddAnswer(RunStep& step, std::string_view a, std::string& error) {
  const std::size_t eq = a.find('=');
  const std::string_view key = a.substr(0, eq);
  const std::string_view value = eq == std::string_view::npos ? std::string_view{} : a.substr(eq + 1);
  const bool hasValue = eq != std::string_view::npos;
  if (!hasValue && (key == "ok" || key == "cancel")) {
    step.current.click(key == "ok" ? platform::IDOK : platform::IDCANCEL);
    step.closeDialog();
    return true;
  }
  if (!hasValue && key == "next") {
    step.closeDialog();
    return true;
  }
  if (!hasValue && key == "nofile") {
    step.files.push_back(std::nullopt);
    return true;
  }
  if (hasValue && key == "file" && !value.empty()) {
    step.files.push_back(std::string(value));
    return true;
  }
  if (hasValue && key == "click") {
    if (std::optional<int> id = ParseInt(value)) {
      step.current.click(*id);
      step.currentOpen = true;
      return true;
    }
  }
  if (hasValue && key == "box") {
    const std::string v = Lower(value);
    const int answer = v == "ok"       ? platform::IDOK
                       : v == "cancel" ? platform::IDCANCEL
                       : v == "yes"    ? headless::IDYES
                       : v == "no"     ? headless::IDNO
                                       : 0;
    if (answer != 0) {
      step.boxes.push_back(answer);
      return true;
    }
  }
  if (hasValue && key == "colour") {
    if (std::optional<Colour> c = ParseColour(value)) {
      step.colours.push_back(c);
      return true;
    }
  }
  if (hasValue && key == "font") {
    if (std::optional<std::pair<FontDesc, Colour>> font = ParseFont(value)) {
      step.fonts.push_back(std::move(font));
      return true;
    }
  }
  if (hasValue) {
    if (std::optional<int> id = ParseInt(key)) {
      step.current.set(*id, std::string(value));
      step.currentOpen = true;
      return true;
    }
  }
  error = "bad answer '" + std::string(a) + "' (see optascope-cli run --help)";
  return false;
}

namespace {

std::optional<Size> ParseSize(std::string_view s) {
  const std::size_t x = s.find_first_of("xX");
  if (x == std::string_view::npos) return std::nullopt;
  const std::optional<int> w = ParseInt(s.substr(0, x)), h = ParseInt(s.substr(x + 1));
  if (!w || !h || *w < 1 || *h < 1 || *w > kMaxScreenSide || *h > kMaxScreenSide) return std::nullopt;
  return Size{*w, *h};
}

}  // namespace

void RunStep::closeDialog() {
  dialogs.push_back(std::move(current));
  current = headless::DialogScript{};
  currentOpen = false;
}

std::vector<std::pair<int, std::string>> MenuCommandNames() {
  std::vector<std::pair<int, std::string>> out;
  for (const MenuEntry& e : MenuEntries())
    if (!e.path.back().empty()) out.emplace_back(e.id, JoinPath(e.path));
  return out;
}

void PrintCommandList(std::FILE* to) {
  for (const auto& [id, path] : MenuCommandNames()) std::fprintf(to, "  %-6d %s\n", id, path.c_str());
}

bool AddStep(std::vector<RunStep>& steps, std::string_view name, std::string& error) {
  const Resolved r = ResolveCommand(name);
  if (!r.error.empty()) {
    error = r.error;
    return false;
  }
  steps.push_back(RunStep{});
  steps.back().name = std::string(name);
  steps.back().id = r.id;
  return true;
}

void FinishSteps(std::vector<RunStep>& steps) {
  for (RunStep& s : steps)
    if (s.currentOpen) s.closeDialog();
}

bool ParseRunArguments(int argc, const char* const* argv, RunPlan& plan, std::string& error) {
  plan = RunPlan{};
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasNext = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      plan = RunPlan{};  // nothing else is run
      plan.help = true;
      return true;
    }
    if (arg == "-c" || arg == "-a" || arg == "--save" || arg == "--window" || arg == "--screen") {
      if (!hasNext) {
        error = std::string(arg) + " needs a value";
        return false;
      }
      const std::string value = argv[++i];
      if (arg == "-c") {
        if (!AddStep(plan.steps, value, error)) return false;
      } else if (arg == "-a") {
        if (plan.steps.empty()) {
          error = "-a '" + value + "' comes before any -c";
          return false;
        }
        if (!AddAnswer(plan.steps.back(), value, error)) return false;
      } else if (arg == "--save") {
        plan.saveTo = value;
      } else if (arg == "--window") {
        plan.windowTo = value;
      } else {
        const std::optional<Size> s = ParseSize(value);
        if (!s) {
          error = "bad screen size '" + value + "' (WxH, each 1.." + std::to_string(kMaxScreenSide) + ")";
          return false;
        }
        plan.screen = *s;
      }
      continue;
    }
    if (!arg.empty() && arg[0] == '-') {
      error = "unknown option '" + std::string(arg) + "'";
      return false;
    }
    if (plan.image) {
      error = "more than one image given";
      return false;
    }
    plan.image = std::string(arg);
  }
  FinishSteps(plan.steps);
  return true;
}

}  // namespace opta::cli
