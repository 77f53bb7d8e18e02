#include "geometry/commands.h"

#include "geometry/transforms.h"

namespace opta {
namespace {

// Only Rotate 90 tells the user that no image is open; every other transform
// is silent without one.
template <class Op>
void Add(CommandTable& table, int id, Frame frame, Op op) {
  table.add(Command{id, frame, {}, [op](CommandContext& ctx) {
                      Canvas canvas = ctx.canvas();
                      op(canvas, ctx.doc.working.pixels, ctx.shell.screenSize());
                    }});
}

}  // namespace

void registerGeometryCommands(CommandTable& table) {
  Add(table, 40034, Frame::Waiting, [](Canvas& c, const PixelMatrix& p, Size s) { RotateImage90(c, p, s); });
  Add(table, 40035, Frame::SilentWaiting,
      [](Canvas& c, const PixelMatrix& p, Size) { RotateImage180(c, p); });
  Add(table, 40036, Frame::SilentWaiting,
      [](Canvas& c, const PixelMatrix& p, Size) { RotateImage270(c, p); });
  Add(table, 40037, Frame::SilentWaiting,
      [](Canvas& c, const PixelMatrix& p, Size) { FlipHorizontal(c, p); });
  Add(table, 40038, Frame::SilentWaiting, [](Canvas& c, const PixelMatrix& p, Size) { FlipVertical(c, p); });
  Add(table, 40073, Frame::SilentWaiting, [](Canvas& c, const PixelMatrix& p, Size) { ShearImage(c, p); });
  Add(table, 40075, Frame::SilentWaiting,
      [](Canvas& c, const PixelMatrix& p, Size) { DoubleSkewImage(c, p); });
  Add(table, 40039, Frame::SilentWaiting,
      [](Canvas& c, const PixelMatrix& p, Size) { ZoomReplicate(c, p, 2); });
  Add(table, 40040, Frame::SilentWaiting,
      [](Canvas& c, const PixelMatrix& p, Size) { ZoomReplicate(c, p, 4); });
  Add(table, 40041, Frame::SilentWaiting, [](Canvas& c, const PixelMatrix& p, Size) { NormalSize(c, p); });
  Add(table, 40042, Frame::SilentWaiting,
      [](Canvas& c, const PixelMatrix& p, Size) { ZoomInterpolate(c, p, 2); });
  Add(table, 40043, Frame::SilentWaiting,
      [](Canvas& c, const PixelMatrix& p, Size) { ZoomInterpolate(c, p, 4); });
  Add(table, 40044, Frame::SilentWaiting,
      [](Canvas& c, const PixelMatrix& p, Size s) { ShrinkCorner(c, p, 2, s); });
  Add(table, 40047, Frame::SilentWaiting,
      [](Canvas& c, const PixelMatrix& p, Size s) { ShrinkCorner(c, p, 4, s); });
  Add(table, 40045, Frame::SilentWaiting,
      [](Canvas& c, const PixelMatrix& p, Size s) { ShrinkMedian(c, p, s); });
  Add(table, 40048, Frame::SilentWaiting,
      [](Canvas& c, const PixelMatrix& p, Size s) { ShrinkAverage(c, p, s); });
}

}  // namespace opta
