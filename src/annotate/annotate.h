#pragma once
// Text annotation: a line of the user's text drawn into the window and the
// working image's memory surface, in a font and colour from the font
// chooser. The PixelMatrix is left alone, so the next image operation starts
// from the picture without the text.
#include <string>
#include <string_view>

#include "command/command.h"
#include "core/canvas.h"
#include "core/font.h"

namespace opta {

namespace annotate {

// Dialog 117's edit boxes.
enum : int { kTextEdit = 1015, kXEdit = 1016, kYEdit = 1017 };
inline constexpr std::size_t kMaxTextLength = 39;

// Kept for the whole run.
struct State {
  std::string text;  // at most kMaxTextLength characters
  int x = 0;
  int y = 0;
  FontDesc font;  // the chooser's starting and confirmed font; all zero: the default font
  Colour colour = kBlack;
};

State& state();
void ResetState();

// The first kMaxTextLength characters of what was typed.
std::string CutText(std::string_view typed);

// Dialog 117: OK stores the text and the two positions (not a number reads
// 0), Cancel stores nothing.
class TextPositionProc : public platform::DialogProc {
 public:
  void onCommand(platform::DialogWindow& dlg, int id) override;
};

}  // namespace annotate

// The font chooser on the remembered font, the colour reset to black first.
// True when the user confirmed; the state then holds the choice.
bool ChooseTextFont(platform::Ui& ui, annotate::State& s);
// The confirmed font becomes the main window's font (no redraw).
void ApplyTextFont(ShellServices& shell, const annotate::State& s);
// The text with its cell's top-left at (x, y), background transparent, into
// the window and then the memory surface, each with the font and colour set.
void DrawAnnotation(Canvas& canvas, int x, int y, std::string_view text, const FontDesc& font, Colour colour);

void registerAnnotateCommands(CommandTable& table);

}  // namespace opta
