#include "annotate/annotate.h"

namespace opta {

namespace annotate {

State& state() {
  static State s;
  return s;
}

void ResetState() { state() = State{}; }

// Counted in characters, not bytes: a letter outside ASCII is kept or
// dropped whole, never cut into a broken sequence.
std::string CutText(std::string_view typed) {
  std::size_t chars = 0, end = 0;
  while (end < typed.size()) {
    const bool continuation = (static_cast<unsigned char>(typed[end]) & 0xC0) == 0x80;
    if (!continuation && chars++ == kMaxTextLength) break;
    ++end;
  }
  return std::string(typed.substr(0, end));
}

void TextPositionProc::onCommand(platform::DialogWindow& dlg, int id) {
  if (id == platform::IDOK) {
    State& s = state();
    s.text = CutText(dlg.itemText(kTextEdit));
    s.x = platform::ReadDialogInt(dlg.itemText(kXEdit));
    s.y = platform::ReadDialogInt(dlg.itemText(kYEdit));
    DialogAccepted = 1;
    dlg.end(1);
  } else if (id == platform::IDCANCEL) {
    DialogAccepted = 0;
    dlg.end(0);
  }
}

}  // namespace annotate

bool ChooseTextFont(platform::Ui& ui, annotate::State& s) {
  s.colour = kBlack;
  // The chooser works on copies: a cancelled choice leaves the font as it was.
  FontDesc font = s.font;
  Colour colour = kBlack;
  if (!ui.chooseFont(font, colour)) return false;
  s.font = font;
  s.colour = Colour24(colour);
  return true;
}

void ApplyTextFont(ShellServices& shell, const annotate::State& s) { shell.setWindowFont(s.font); }

void DrawAnnotation(Canvas& canvas, int x, int y, std::string_view text, const FontDesc& font,
                    Colour colour) {
  for (Surface* surface : {&canvas.window(), &canvas.memory()}) {
    DcState& dc = surface->dc();
    dc.transparent = true;
    dc.font = font;
    dc.textColour = colour;
  }
  canvas.drawText(x, y, text);
}

namespace {

void LabelImage(CommandContext& ctx) {
  annotate::State& s = annotate::state();
  if (ChooseTextFont(ctx.ui, s)) ApplyTextFont(ctx.shell, s);
  Canvas canvas = ctx.canvas();
  // No image check: without an image the memory surface is empty and only
  // the window shows the text.
  DrawAnnotation(canvas, s.x, s.y, s.text, s.font, s.colour);
}

}  // namespace

void registerAnnotateCommands(CommandTable& table) {
  table.add(Command{40086,
                    Frame::Own,
                    {DialogStep{"117", [] { return std::make_unique<annotate::TextPositionProc>(); }}},
                    LabelImage});
  table.addResetHook(annotate::ResetState);
}

}  // namespace opta
