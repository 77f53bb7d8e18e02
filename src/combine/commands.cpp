#include "combine/commands.h"

#include "combine/combine.h"

namespace opta {
namespace {

// Both images must exist; the frame checks that, and says so only for the
// commands that tell the user.
void Add(CommandTable& table, int id, Frame frame, CombineOp op) {
  table.add(Command{id, frame, {}, [op](CommandContext& ctx) {
                      Canvas canvas = ctx.canvas();
                      op(canvas, ctx.doc.working.pixels, ctx.doc.second.pixels, ctx.shell.screenSize());
                    }});
}

}  // namespace

void registerCombineCommands(CommandTable& table) {
  constexpr Frame kSpeaks = Frame::TwoImagesWaiting;
  constexpr Frame kSilent = Frame::SilentTwoImagesWaiting;
  Add(table, 40050, kSpeaks, AddImages);
  Add(table, 40051, kSpeaks, SubtractImages);
  Add(table, 40052, kSpeaks, AndImages);
  Add(table, 40053, kSilent, OrImages);
  Add(table, 40054, kSilent, XorImages);
  Add(table, 40055, kSilent, NandImages);
  Add(table, 40056, kSilent, NorImages);
  Add(table, 40057, kSilent, NotImages);
  Add(table, 40059, kSilent, NonZeroOverlay);
  Add(table, 40060, kSilent, ZeroOverlay);
  Add(table, 40061, kSilent, GreaterOverlay);
  Add(table, 40062, kSilent, LessOverlay);
  Add(table, 40063, kSilent, AverageOverlay);
  Add(table, 40064, kSilent, MatchOverlay);
}

}  // namespace opta
