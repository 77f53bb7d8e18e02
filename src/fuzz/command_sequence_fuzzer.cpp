// The program without a screen, driven by the bytes: a screen of their size,
// a picture of theirs (1x1 to 64x64, by either loading road), then a
// sequence of commands from the command table with answers for every
// dialog, file chooser, message box and chooser they show, mixed with
// mouse clicks and drags, keys, resizes and paints. The sanitizers watch
// every buffer; the checks below watch the document's sizes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "command/command.h"
#include "document/save_file.h"
#include "fuzz/fuzz_input.h"
#include "platform/headless/application.h"
#include "resources/resources.h"

namespace {

using namespace opta;

const std::string& Folder() {
  static const std::string dir = fuzz::ScratchFolder("command_sequence");
  return dir;
}

// A picture whose colours come from a small byte-chosen palette, so that
// thresholds find objects, written as a standard BMP or in the saved layout.
std::string WritePicture(fuzz::Input& in, const std::string& name) {
  const int w = in.range(1, 64), h = in.range(1, 64);
  Colour palette[4];
  for (Colour& c : palette) c = Rgb(in.byte(), in.byte(), in.byte());
  std::uint32_t seed = in.byte() | static_cast<std::uint32_t>(in.byte()) << 8;
  const int blob = in.range(1, 16);
  Surface s;
  s.allocate(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      s.set(x, y, palette[((x / blob + y / blob) + (seed >> 30)) & 3]);
    }
  const std::string path = Folder() + "/" + name;
  if (in.flag())
    SaveDibFile(path, s);
  else
    SaveStandardBmp(path, s);
  return path;
}

// Answers for one dialog: text for its edit fields (numbers mostly), clicks
// and checks on its controls, then OK or Cancel or nothing.
headless::DialogScript AnswerDialog(fuzz::Input& in, const resources::DialogTemplate& t) {
  headless::DialogScript script;
  const int actions = in.range(0, 4);
  for (int i = 0; i < actions && !t.controls.empty(); ++i) {
    const resources::DialogControl& c = t.controls[in.range(0, static_cast<int>(t.controls.size()) - 1)];
    if (c.id < 0) continue;
    switch (in.range(0, 3)) {
      case 0:
        script.set(c.id, std::to_string(in.range(-300, 300)));
        break;
      case 1:
        script.set(c.id, in.text(6));
        break;
      case 2:
        script.click(c.id);
        break;
      default:
        script.check(c.id, in.flag());
        break;
    }
  }
  switch (in.range(0, 2)) {
    case 0:
      script.click(platform::IDOK);
      break;
    case 1:
      script.click(platform::IDCANCEL);
      break;
    default:
      break;  // left open: accepted as it is
  }
  return script;
}

void QueueAnswers(fuzz::Input& in, headless::Application& app, const Command& command,
                  const std::vector<std::string>& pictures) {
  headless::HeadlessUi& ui = app.ui();
  ui.clearScripts();
  for (const DialogStep& step : command.dialogs)
    if (const resources::DialogTemplate* t = resources::findDialogTemplate(step.templateName))
      ui.queueDialog(AnswerDialog(in, *t));
  switch (in.range(0, 3)) {
    case 0:
      ui.queueFile(std::nullopt);
      break;
    case 1:
      ui.queueFile(Folder() + "/saved.bmp");
      break;
    default:
      ui.queueFile(pictures[in.range(0, static_cast<int>(pictures.size()) - 1)]);
      break;
  }
  for (int i = in.range(0, 3); i > 0; --i) {
    constexpr int kAnswers[] = {platform::IDOK, platform::IDCANCEL, headless::IDYES, headless::IDNO};
    ui.queueMessageBoxAnswer(kAnswers[in.range(0, 3)]);
  }
  if (in.flag()) ui.queueColour(Rgb(in.byte(), in.byte(), in.byte()));
  if (in.flag()) {
    FontDesc font;
    font.height = in.range(-40, 40);
    font.weight = in.range(0, 1000);
    font.italic = in.flag();
    ui.queueFont(std::make_pair(font, Rgb(in.byte(), in.byte(), in.byte())));
  }
}

Point AnyPoint(fuzz::Input& in) { return Point{in.range(-8, 80), in.range(-8, 80)}; }

// What must hold whatever ran: an image's matrices are its memory's size.
void CheckDocument(headless::Application& app) {
  const WorkingImage& w = app.doc().working;
  if (w.loaded && (w.pixels.width() != w.memory.width() || w.pixels.height() != w.memory.height() ||
                   w.mask.width() != w.memory.width() || w.mask.height() != w.memory.height()))
    __builtin_trap();
  const SecondImage& s = app.doc().second;
  if (s.loaded && (s.pixels.width() != s.memory.width() || s.pixels.height() != s.memory.height()))
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  headless::AppOptions options;
  options.screen = Size{in.range(1, 96), in.range(1, 96)};
  headless::Application app(options);
  app.start();
  const std::vector<std::string> pictures = {WritePicture(in, "first.bmp"), WritePicture(in, "second.bmp")};
  if (in.flag()) {
    Surface clip;
    clip.allocate(in.range(1, 64), in.range(1, 64), Rgb(in.byte(), in.byte(), in.byte()));
    app.ui().setClipboard(clip);
  }
  if (in.flag()) app.open(pictures[0]);

  std::vector<int> ids = app.shell().commands().ids();
  std::sort(ids.begin(), ids.end());
  const std::vector<resources::Accelerator>& keys = resources::acceleratorTable();
  for (int step = 0; step < 24 && !in.empty() && !app.exited(); ++step) {
    switch (in.range(0, 9)) {
      case 0:
        app.leftDown(AnyPoint(in));
        break;
      case 1:
        app.mouseMove(AnyPoint(in), in.flag());
        break;
      case 2:
        app.leftUp(AnyPoint(in));
        break;
      case 3:
        app.rightDown(AnyPoint(in));
        break;
      case 4: {
        const resources::Accelerator& a = keys[in.range(0, static_cast<int>(keys.size()) - 1)];
        KeyPress k;
        k.kind =
            a.type == resources::Accelerator::Type::Char ? KeyPress::Kind::Char : KeyPress::Kind::VirtKey;
        k.key = a.key;
        k.ctrl = a.ctrl;
        k.alt = a.alt;
        k.shift = a.shift;
        app.key(k);
        break;
      }
      case 5:
        if (in.flag()) {
          app.resize(Size{in.range(1, 96), in.range(1, 96)});
        } else {
          app.minimise();
          app.tick();
          app.restore();
        }
        break;
      default: {
        const int id = ids[in.range(0, static_cast<int>(ids.size()) - 1)];
        QueueAnswers(in, app, *app.shell().commands().find(id), pictures);
        app.command(id);
        break;
      }
    }
    app.ui().clearRecords();
    CheckDocument(app);
  }
  return 0;
}
