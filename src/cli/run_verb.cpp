// run: the program without a screen. It starts as the program starts, opens
// an image as Open does, runs menu commands by name with their dialogs
// answered from the command line, prints every message box, and can write
// the working image and the window afterwards.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/verbs.h"
#include "document/dib_file.h"
#include "platform/headless/application.h"
#include "resources/resources.h"

namespace opta::cli {
namespace {

constexpr int kOpenCommand = 40001;
constexpr int kMaxScreenSide = 16384;

constexpr const char* kUsage =
    "usage: optascope-cli run [IMAGE] [-c COMMAND [-a ANSWER]...]... [--save FILE] [--window FILE]\n"
    "                         [--screen WxH]\n"
    "\n"
    "Starts the program without a screen, opens IMAGE as Open does, then runs each\n"
    "COMMAND in order. Every message box is printed as one line 'CAPTION: TEXT' and\n"
    "answered with its default button.\n"
    "\n"
    "COMMAND  a menu text without its ampersands ('Histogram Peak', 'Rotate 90 Degree'),\n"
    "         a menu path where a text is ambiguous ('Edit/Paste'), or a command id ('40013').\n"
    "         Case and runs of blanks do not matter.\n"
    "\n"
    "ANSWER   applies to the dialogs of the COMMAND before it, in order; a dialog left\n"
    "         without answers is accepted as it opens (OK).\n"
    "  ID=TEXT        type TEXT into control ID           -a 1024=50\n"
    "  click=ID       click control ID                     -a click=1064\n"
    "  ok             click OK; later answers go to the next dialog\n"
    "  cancel         click Cancel; later answers go to the next dialog\n"
    "  next           leave this dialog to be accepted as it is; go to the next\n"
    "  file=PATH      the next file dialog chooses PATH (Save, Save As, Open, Open Also)\n"
    "  nofile         the next file dialog is cancelled (unanswered ones are too)\n"
    "  box=ok|cancel|yes|no   the next message box's answer instead of its default\n"
    "  colour=R,G,B   the next colour chooser picks this colour (default: cancel)\n"
    "  font=FACE,HEIGHT,R,G,B[,bold][,italic][,underline][,strikeout]\n"
    "                 the next font chooser picks this font (default: cancel)\n"
    "\n"
    "--save FILE    write the working image as Save writes it\n"
    "--window FILE  write the window's pixels: a 24-bit BMP, or PPM when FILE ends in .ppm\n"
    "--screen WxH   the screen (and window client) size; default 1920x1080\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be written, 2 a usage error; when a\n"
    "command ends the program (Exit), its exit code.\n"
    "\n"
    "Commands (from the program's menu):\n";

std::string Lower(std::string_view s) {
  std::string out;
  for (char c : s) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

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

std::optional<int> ParseInt(std::string_view s) {
  if (s.empty() || s.size() > 9) return std::nullopt;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

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

// One -c with the answers given after it.
struct Step {
  std::string name;
  int id = 0;
  std::vector<headless::DialogScript> dialogs;
  headless::DialogScript current;
  bool currentOpen = false;
  std::vector<std::optional<std::string>> files;
  std::vector<int> boxes;
  std::vector<std::optional<Colour>> colours;
  std::vector<std::optional<std::pair<FontDesc, Colour>>> fonts;

  void closeDialog() {
    dialogs.push_back(std::move(current));
    current = headless::DialogScript{};
    currentOpen = false;
  }
};

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

std::optional<Size> ParseSize(std::string_view s) {
  const std::size_t x = s.find_first_of("xX");
  if (x == std::string_view::npos) return std::nullopt;
  const std::optional<int> w = ParseInt(s.substr(0, x)), h = ParseInt(s.substr(x + 1));
  if (!w || !h || *w < 1 || *h < 1 || *w > kMaxScreenSide || *h > kMaxScreenSide) return std::nullopt;
  return Size{*w, *h};
}

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && Lower(s.substr(s.size() - tail.size())) == tail;
}

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// The window as any viewer reads it: a standard 24-bit BMP (rows padded to
// 4 bytes, bottom row first, no marker), or a binary PPM.
std::vector<std::uint8_t> EncodeWindow(const Surface& s, bool ppm) {
  const int w = s.width(), h = s.height();
  std::vector<std::uint8_t> out;
  if (ppm) {
    const std::string header = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    out.assign(header.begin(), header.end());
    out.reserve(out.size() + std::size_t{3} * w * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const Colour c = s.get(x, y);
        out.push_back(static_cast<std::uint8_t>(Red(c)));
        out.push_back(static_cast<std::uint8_t>(Green(c)));
        out.push_back(static_cast<std::uint8_t>(Blue(c)));
      }
    return out;
  }
  const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = stride * static_cast<std::uint32_t>(h);
  out.reserve(54 + imageBytes);
  out.push_back('B');
  out.push_back('M');
  PutLe(out, 54 + imageBytes, 4);
  PutLe(out, 0, 4);   // reserved: no marker
  PutLe(out, 54, 4);  // bfOffBits
  PutLe(out, 40, 4);
  PutLe(out, static_cast<std::uint32_t>(w), 4);
  PutLe(out, static_cast<std::uint32_t>(h), 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, imageBytes, 4);
  for (int i = 0; i < 4; ++i) PutLe(out, 0, 4);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const Colour c = s.get(x, y);
      out.push_back(static_cast<std::uint8_t>(Blue(c)));
      out.push_back(static_cast<std::uint8_t>(Green(c)));
      out.push_back(static_cast<std::uint8_t>(Red(c)));
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(w) * 3; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

void PrintMessageBox(const headless::MessageBoxRecord& box) {
  std::string line = box.caption + ": ";
  for (char c : box.text) {
    if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
  line += '\n';
  std::fputs(line.c_str(), stdout);
}

void PrintHelp() {
  std::fputs(kUsage, stdout);
  for (const MenuEntry& e : MenuEntries()) {
    if (e.path.back().empty()) continue;
    std::printf("  %-6d %s\n", e.id, JoinPath(e.path).c_str());
  }
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "run: %s\n", message.c_str());
  return 2;
}

// Tells the user about answers that found nothing to answer, and about
// answers that did not fit their dialog.
void ReportLeftovers(const Step& step, headless::HeadlessUi& ui) {
  if (ui.pendingDialogScripts() > 0)
    std::fprintf(stderr, "run: warning: %s: %zu dialog answer(s) not used\n", step.name.c_str(),
                 ui.pendingDialogScripts());
  if (ui.pendingFileAnswers() > 0)
    std::fprintf(stderr, "run: warning: %s: %zu file answer(s) not used\n", step.name.c_str(),
                 ui.pendingFileAnswers());
  for (const std::string& p : ui.problems())
    std::fprintf(stderr, "run: warning: %s: %s\n", step.name.c_str(), p.c_str());
}

}  // namespace

int RunVerb(int argc, char** argv) {
  std::optional<std::string> image, saveTo, windowTo;
  Size screen{1920, 1080};
  std::vector<Step> steps;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasNext = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      PrintHelp();
      return 0;
    }
    if (arg == "-c" || arg == "-a" || arg == "--save" || arg == "--window" || arg == "--screen") {
      if (!hasNext) return UsageError(std::string(arg) + " needs a value");
      const std::string value = argv[++i];
      if (arg == "-c") {
        const Resolved r = ResolveCommand(value);
        if (!r.error.empty()) return UsageError(r.error);
        steps.push_back(Step{});
        steps.back().name = value;
        steps.back().id = r.id;
      } else if (arg == "-a") {
        if (steps.empty()) return UsageError("-a '" + value + "' comes before any -c");
        std::string error;
        if (!AddAnswer(steps.back(), value, error)) return UsageError(error);
      } else if (arg == "--save") {
        saveTo = value;
      } else if (arg == "--window") {
        windowTo = value;
      } else {
        const std::optional<Size> s = ParseSize(value);
        if (!s)
          return UsageError("bad screen size '" + value + "' (WxH, each 1.." +
                            std::to_string(kMaxScreenSide) + ")");
        screen = *s;
      }
      continue;
    }
    if (!arg.empty() && arg[0] == '-') return UsageError("unknown option '" + std::string(arg) + "'");
    if (image) return UsageError("more than one image given");
    image = std::string(arg);
  }
  for (Step& s : steps)
    if (s.currentOpen) s.closeDialog();

  headless::AppOptions options;
  options.screen = screen;
  headless::Application app(options);
  headless::HeadlessUi& ui = app.ui();
  ui.setMessageBoxListener(PrintMessageBox);
  app.start();
  if (image) app.open(*image);

  for (const Step& step : steps) {
    if (app.exited()) break;
    ui.clearScripts();
    ui.clearRecords();
    for (const auto& d : step.dialogs) ui.queueDialog(d);
    for (const auto& f : step.files) ui.queueFile(f);
    for (int b : step.boxes) ui.queueMessageBoxAnswer(b);
    for (const auto& c : step.colours) ui.queueColour(c);
    for (const auto& f : step.fonts) ui.queueFont(f);
    app.command(step.id);
    ReportLeftovers(step, ui);
  }
  std::fflush(stdout);
  if (app.exited()) return *app.exitCode();

  int status = 0;
  if (saveTo) {
    const Image& working = app.doc().working;
    if (!working.loaded) {
      std::fprintf(stderr, "run: --save: no image is loaded\n");
      status = 1;
    } else if (!WriteWholeFile(*saveTo, EncodeSavedBmp(working.memory))) {
      std::fprintf(stderr, "run: --save: cannot write %s\n", saveTo->c_str());
      status = 1;
    }
  }
  if (windowTo) {
    const Surface& window = app.windowSurface();
    if (!WriteWholeFile(*windowTo, EncodeWindow(window, EndsWith(*windowTo, ".ppm")))) {
      std::fprintf(stderr, "run: --window: cannot write %s\n", windowTo->c_str());
      status = 1;
    }
  }
  return status;
}

}  // namespace opta::cli
