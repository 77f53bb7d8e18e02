#include "cli/recipe.h"

#include <cctype>

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

}  // namespace

// Adds one -a to its step; false with a message when it makes no sense.
bool AddAnswer(Step& step, std::string_view a, std::string& error) {
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
    const std::size_t c1 = value.find(',');
    if (c1 != std::string_view::npos) {
      const std::string_view rest = value.substr(c1 + 1);
      const std::size_t c2 = rest.find(',');
      const std::optional<int> height = ParseInt(rest.substr(0, c2));
      const std::optional<Colour> colour =
          c2 == std::string_view::npos ? std::nullopt : ParseColour(rest.substr(c2 + 1));
      if (height && colour) {
        FontDesc font;
        font.face = std::string(value.substr(0, c1));
        font.height = *height;
        step.fonts.push_back(std::make_pair(font, *colour));
        return true;
      }
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

bool AddStep(std::vector<Step>& steps, std::string_view name, std::string& error) {
  const Resolved r = ResolveCommand(name);
  if (!r.error.empty()) {
    error = r.error;
    return false;
  }
  steps.push_back(Step{});
  steps.back().name = std::string(name);
  steps.back().id = r.id;
  return true;
}

void FinishSteps(std::vector<Step>& steps) {
  for (Step& s : steps)
    if (s.currentOpen) s.closeDialog();
}

void RunStep(headless::Application& app, const Step& step) {
  headless::HeadlessUi& ui = app.ui();
  ui.clearScripts();
  ui.clearRecords();
  for (const auto& d : step.dialogs) ui.queueDialog(d);
  for (const auto& f : step.files) ui.queueFile(f);
  for (int b : step.boxes) ui.queueMessageBoxAnswer(b);
  for (const auto& c : step.colours) ui.queueColour(c);
  for (const auto& f : step.fonts) ui.queueFont(f);
  app.command(step.id);
}

void PrintCommandList(std::FILE* to) {
  for (const MenuEntry& e : MenuEntries()) {
    if (e.path.back().empty()) continue;
    std::fprintf(to, "  %-6d %s\n", e.id, JoinPath(e.path).c_str());
  }
}

}  // namespace opta::cli
