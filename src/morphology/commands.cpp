#include "morphology/commands.h"

#include "command/choice_dialogs.h"
#include "morphology/morphology.h"

namespace opta {
namespace {

using Operation = void (*)(Canvas&, const PixelMatrix&, const Mask3&, ScratchStore&);
using Repeated = void (*)(Canvas&, const PixelMatrix&, const Mask3&, int, ScratchStore&);

DialogStep ShapeDialog() {
  return DialogStep{"115", [] { return MakeRadioChoice(1018, 1021, morph::ShapeChoice); }};
}

void Add(CommandTable& table, int id, Operation op) {
  table.add(Command{id, Frame::Waiting, {ShapeDialog()}, [op](CommandContext& ctx) {
                      Canvas canvas = ctx.canvas();
                      op(canvas, ctx.doc.working.pixels, ShapeElement(morph::ShapeChoice), ctx.doc.scratch);
                    }});
}

// After Cancel in dialog 115 the count dialog still comes, and OK there
// runs with the element last accepted: the one the dialog showed checked.
void AddRepeated(CommandTable& table, int id, std::string_view countDialog, int& count, Repeated op) {
  DialogStep counter{countDialog, [&count] { return MakeNumberEntry(1015, count, morph::LimitCount); }};
  table.add(Command{id, Frame::Waiting, {ShapeDialog(), counter}, [op, &count](CommandContext& ctx) {
                      Canvas canvas = ctx.canvas();
                      op(canvas, ctx.doc.working.pixels, ShapeElement(morph::ShapeChoice), count,
                         ctx.doc.scratch);
                    }});
}

}  // namespace

void registerMorphologyCommands(CommandTable& table) {
  Add(table, 40080, MorphErosion);
  Add(table, 40081, MorphDilation);
  AddRepeated(table, 40087, "120", morph::OpeningCount, MorphOpening);
  AddRepeated(table, 40088, "121", morph::ClosingCount, MorphClosing);
  Add(table, 40198, InteriorOutline);
  Add(table, 40197, ExteriorOutline);
  table.addResetHook([] {
    morph::ShapeChoice = morph::kInitialShapeChoice;
    morph::OpeningCount = morph::ClosingCount = 1;
  });
}

}  // namespace opta
