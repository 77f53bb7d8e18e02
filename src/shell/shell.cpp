#include "shell/shell.h"

#include <cassert>

#include "document/commands/commands.h"
#include "resources/resources.h"
#include "shell/about.h"

namespace opta {
namespace {
// The resource gives "HSB Value" a check mark that start-up removes.
constexpr int kHsbValueItem = 40115;

// The paint's picture: the image copied to (0, 0) at its own size, the white
// class brush around it. Row by row, as a virtual screen may be large.
void Recompose(Surface& window, const Surface* image) {
  const Rect all = window.bounds();
  const Rect in = image ? Intersect(all, image->bounds()) : Rect{};
  for (int y = in.top; y < in.bottom; ++y) window.putRow(0, y, image->row(y), in.width());
  window.fillRect(in.right, 0, all.right, in.bottom, kWhite);
  window.fillRect(0, in.bottom, all.right, all.bottom, kWhite);
}
}  // namespace

struct Shell::Impl : ShellServices {
  Impl(platform::MainWindow& w, platform::Ui& u, ShellOptions options)
      : window(w), ui(u), findTemplate(std::move(options.findTemplate)) {
    if (!findTemplate)
      findTemplate = [](std::string_view name) { return resources::findDialogTemplate(name); };
    surface.setTextRenderer(&ui.textRenderer());
    menuState.onChange([this](int id) { window.menuItemChanged(id); });
    registerShellCommands();
    if (options.registerCommands) {
      options.registerCommands(table);
    } else {
      registerAllCommands(table);
    }
  }

  // --- ShellServices ---
  Size screenSize() const override { return window.screenSize(); }
  Size clientSize() const override { return client; }
  void invalidate() override { window.invalidate(); }
  void postCommand(int id) override { window.postCommand(id); }
  MenuState& menu() override { return menuState; }
  void destroyToolbar() override {
    if (!toolbar) return;
    toolbar = false;
    window.destroyToolbar();
  }
  void setWindowFont(const FontDesc& font) override { window.setWindowFont(font); }

  // Every command and mouse event draws through a fresh device context.
  CommandContext freshContext() {
    surface.dc() = DcState{};
    // Image surfaces come and go with every load and paste; a new one draws
    // text with the platform's fonts, like the window.
    for (Surface* s : {&doc.working.memory, &doc.second.memory})
      if (!s->hasTextRenderer()) s->setTextRenderer(&ui.textRenderer());
    return CommandContext{doc, surface, ui, *this};
  }

  void createToolbar(platform::ToolbarKind kind) {
    if (toolbar) window.destroyToolbar();
    window.createToolbar(kind);
    toolbar = true;
  }

  const resources::DialogTemplate* templateFor(std::string_view name) const {
    const resources::DialogTemplate* t = findTemplate(name);
    assert(t != nullptr && "dialog template missing from the resources");
    return t;
  }

  void noImageMessage() { ShowNoImageMessage(ui); }

  void run(const Command& c) {
    // Dialogs come first, image or not; every one is shown, and the last
    // answer decides. A missing template skips the command altogether.
    std::vector<const resources::DialogTemplate*> templates;
    for (const DialogStep& step : c.dialogs) {
      const resources::DialogTemplate* t = templateFor(step.templateName);
      if (!t) return;
      templates.push_back(t);
    }
    for (std::size_t i = 0; i < c.dialogs.size(); ++i) {
      std::unique_ptr<platform::DialogProc> proc = c.dialogs[i].makeProc();
      if (proc) ui.runDialog(*templates[i], *proc);
    }
    if (!c.dialogs.empty() && DialogAccepted == 0) return;
    if (!c.run) return;

    CommandContext ctx = freshContext();
    bool ready = true;
    bool silent = false;
    bool waiting = false;
    switch (c.frame) {
      case Frame::Own:
        c.run(ctx);
        return;
      case Frame::Plain:
        ready = doc.working.loaded;
        break;
      case Frame::Silent:
        ready = doc.working.loaded;
        silent = true;
        break;
      case Frame::Waiting:
        ready = doc.working.loaded;
        waiting = true;
        break;
      case Frame::SilentWaiting:
        ready = doc.working.loaded;
        silent = waiting = true;
        break;
      case Frame::TwoImagesWaiting:
        ready = doc.working.loaded && doc.second.loaded;
        waiting = true;
        break;
      case Frame::SilentTwoImagesWaiting:
        ready = doc.working.loaded && doc.second.loaded;
        silent = waiting = true;
        break;
    }
    if (!ready) {
      if (!silent) noImageMessage();
      return;
    }
    if (waiting) ui.setCursor(platform::CursorShape::Wait);
    c.run(ctx);
    if (waiting) ui.setCursor(platform::CursorShape::Arrow);
  }

  void registerShellCommands() {
    auto own = [this](int id, std::function<void(CommandContext&)> f) {
      table.add(Command{id, Frame::Own, {}, std::move(f)});
    };
    own(shellid::kExit, [](CommandContext& ctx) { ctx.ui.exitProcess(0); });
    own(shellid::kHideHistogram, [](CommandContext& ctx) { ctx.shell.invalidate(); });
    own(shellid::kShowLargeToolbar, [this](CommandContext&) { createToolbar(platform::ToolbarKind::Large); });
    own(shellid::kShowSmallToolbar, [this](CommandContext&) { createToolbar(platform::ToolbarKind::Small); });
    own(shellid::kHideToolbar, [this](CommandContext&) {
      if (toolbar) window.showToolbar(false);
    });
    own(shellid::kRestoreToolbar, [this](CommandContext&) {
      if (toolbar) window.showToolbar(true);
    });
    own(shellid::kAbout, [this](CommandContext& ctx) {
      const resources::DialogTemplate* t = templateFor(kAboutTemplate);
      if (!t) return;
      AboutProc proc;
      ctx.ui.runDialog(*t, proc);
    });
    own(shellid::kHelp, [](CommandContext& ctx) { ctx.ui.showHelp(); });
  }

  platform::MainWindow& window;
  platform::Ui& ui;
  std::function<const resources::DialogTemplate*(std::string_view)> findTemplate;
  Document doc;
  Surface surface;
  MenuState menuState;
  CommandTable table;
  Size client;
  bool toolbar = false;
};

Shell::Shell(platform::MainWindow& window, platform::Ui& ui) : Shell(window, ui, ShellOptions{}) {}

Shell::Shell(platform::MainWindow& window, platform::Ui& ui, ShellOptions options)
    : impl_(std::make_unique<Impl>(window, ui, std::move(options))) {}

Shell::~Shell() = default;

void Shell::onCreate() {
  // A new run: remembered dialog values (and the shared file-dialog path)
  // start afresh, then the menu gets its start-up state.
  impl_->table.resetRememberedValues();
  CommandContext ctx = impl_->freshContext();
  RefreshPasteState(ctx);
  impl_->menuState.setChecked(kHsbValueItem, false);
}

void Shell::onShown() { impl_->createToolbar(platform::ToolbarKind::Large); }

void Shell::onSize(Size client) {
  impl_->client = client;
  if (!impl_->surface.allocate(client.width, client.height, kWhite)) impl_->surface.release();
}

void Shell::onPaint() {
  Impl& s = *impl_;
  s.window.killTimer(shellid::kCaptionTimer);
  CommandContext ctx = s.freshContext();
  RefreshPasteState(ctx);
  const Image* shown = nullptr;
  if (s.doc.working.loaded && s.doc.second.loaded) {
    shown = &s.doc.second;
  } else if (s.doc.working.loaded) {
    shown = &s.doc.working;
  }
  Recompose(s.surface, shown ? &shown->memory : nullptr);
  if (!s.window.isMinimised()) s.window.setCaption(kMainCaption);
  s.window.setTimer(shellid::kCaptionTimer, shellid::kCaptionPeriodMs);
}

void Shell::onClipboardChanged() {
  CommandContext ctx = impl_->freshContext();
  RefreshPasteState(ctx);
}

void Shell::onTimer(int) {
  impl_->window.setCaption(impl_->window.isMinimised() ? kMinimisedCaption : kMainCaption);
}

void Shell::onCommand(int id) {
  const Command* c = impl_->table.find(resources::primaryCommand(id));
  if (c) impl_->run(*c);
}

void Shell::onLeftButtonDown(Point p) {
  CommandContext ctx = impl_->freshContext();
  DocumentLeftButtonDown(ctx, p);
}

void Shell::onMouseMove(Point p, bool leftButtonHeld) {
  CommandContext ctx = impl_->freshContext();
  DocumentMouseMove(ctx, p, leftButtonHeld);
}

void Shell::onLeftButtonUp(Point p) {
  CommandContext ctx = impl_->freshContext();
  DocumentLeftButtonUp(ctx, p);
}

void Shell::onRightButtonDown(Point p) {
  if (currentReadoutMode() == ReadoutMode::None) {
    CommandContext ctx = impl_->freshContext();
    DocumentSetPastePoint(ctx, p);
    return;
  }
  if (!impl_->doc.working.loaded) return;
  // The chosen item comes back as a command message, like any menu choice.
  const int chosen = impl_->window.trackPopupMenu(p);
  if (chosen != 0) impl_->window.postCommand(chosen);
}

void Shell::onDestroy() {
  impl_->doc.working.unload();
  impl_->doc.second.unload();
  impl_->window.killTimer(shellid::kCaptionTimer);
}

bool Shell::translateAccelerator(const KeyPress& key) {
  for (const resources::Accelerator& a : resources::acceleratorTable()) {
    bool match = false;
    if (a.type == resources::Accelerator::Type::Char) {
      match = key.kind == KeyPress::Kind::Char && key.key == a.key && key.alt == a.alt;
    } else {
      match = key.kind == KeyPress::Kind::VirtKey && key.key == a.key && key.ctrl == a.ctrl &&
              key.alt == a.alt && key.shift == a.shift;
    }
    if (!match) continue;
    // The first matching entry decides, even when its item cannot be chosen.
    if (!impl_->menuState.has(a.command) || impl_->menuState.selectable(a.command)) onCommand(a.command);
    return true;
  }
  return false;
}

std::string_view Shell::tooltip(int id) const { return resources::tooltipText(id); }

Surface& Shell::windowSurface() { return impl_->surface; }
Document& Shell::document() { return impl_->doc; }
MenuState& Shell::menu() { return impl_->menuState; }
const CommandTable& Shell::commands() const { return impl_->table; }
Size Shell::clientSize() const { return impl_->client; }
bool Shell::toolbarExists() const { return impl_->toolbar; }

}  // namespace opta
