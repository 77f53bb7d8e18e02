#include "edges/commands.h"

#include "command/choice_dialogs.h"
#include "edges/edges.h"

namespace opta {
namespace {

template <class Op>
Command Detector(int id, Frame frame, Op op) {
  return Command{id, frame, {}, [op](CommandContext& ctx) {
                   Canvas canvas = ctx.canvas();
                   op(canvas, ctx.doc.working.pixels, ctx.shell.screenSize());
                 }};
}

}  // namespace

void registerEdgesCommands(CommandTable& table) {
  // Only the last four run under the wait cursor.
  table.add(Detector(40018, Frame::Plain, HomogeneityEdge));
  table.add(Detector(40019, Frame::Plain, DifferenceEdge));
  table.add(Detector(40020, Frame::Plain, VarianceEdge));
  table.add(Detector(40027, Frame::Waiting,
                     [](Canvas& c, const PixelMatrix& p, Size s) { QuickEdge(c, p, s, kQuickMask); }));
  table.add(Detector(40029, Frame::Waiting,
                     [](Canvas& c, const PixelMatrix& p, Size s) { KirschEdge(c, p, s, kKirschMasks); }));
  table.add(Detector(40030, Frame::Waiting,
                     [](Canvas& c, const PixelMatrix& p, Size s) { PrewittEdge(c, p, s, kPrewittMasks); }));

  Command geometric = Detector(40083, Frame::Waiting, [](Canvas& c, const PixelMatrix& p, Size s) {
    GeometricDetect(c, p, s, GeometricMask(edges::GeometricChoice));
  });
  geometric.dialogs = {DialogStep{"116", [] { return MakeRadioChoice(1010, 1014, edges::GeometricChoice); }}};
  table.add(std::move(geometric));

  table.addResetHook([] { edges::GeometricChoice = edges::kInitialGeometricChoice; });
}

}  // namespace opta
