#include "pointops/commands.h"

#include "pointops/dialogs.h"
#include "pointops/kernels.h"

namespace opta {
namespace {

using pointops::remembered;

using Operation = void (*)(Canvas&, const PixelMatrix&);

void Add(CommandTable& table, int id, Frame frame, Operation op) {
  table.add(Command{id, frame, {}, [op](CommandContext& ctx) {
                      Canvas canvas = ctx.canvas();
                      op(canvas, ctx.doc.working.pixels);
                    }});
}

// A command whose dialog stores its values before the frame runs; run reads them.
template <class Run>
void AddWithDialog(CommandTable& table, int id, Frame frame, std::string_view dialog, DialogProcFactory make,
                   Run run) {
  table.add(Command{id, frame, {DialogStep{dialog, std::move(make)}}, [run](CommandContext& ctx) {
                      Canvas canvas = ctx.canvas();
                      run(canvas, ctx.doc.working.pixels);
                    }});
}

ThreeSlices RememberedThreeSlices() {
  const auto& m = remembered();
  return ThreeSlices{{m.range[0], m.range[1], m.range[2]}, {m.colour[0], m.colour[1], m.colour[2]}};
}

ColourBox RememberedBox() {
  const auto& m = remembered();
  return ColourBox{m.range[0], m.range[1], m.range[2]};
}

}  // namespace

void registerPointOpsCommands(CommandTable& table) {
  Add(table, 40009, Frame::Plain, InvertImage);
  Add(table, 40021, Frame::Plain, EmbossImage);
  Add(table, 40022, Frame::Plain, SolarizeImage);
  Add(table, 40023, Frame::Plain, GrayScaleImage);
  AddWithDialog(table, 40094, Frame::Plain, "118", pointops::MakeBrightnessDialog,
                [](Canvas& c, const PixelMatrix& p) { BrightenImage(c, p, remembered().brightness); });
  AddWithDialog(table, 40095, Frame::Waiting, "122", pointops::MakeDarknessDialog,
                [](Canvas& c, const PixelMatrix& p) { DarkenImage(c, p, remembered().darkness); });

  Add(table, 40167, Frame::Plain, RedComponent);
  Add(table, 40168, Frame::Plain, GreenComponent);
  Add(table, 40169, Frame::Plain, BlueComponent);
  Add(table, 40070, Frame::Waiting, FalseColour1);
  Add(table, 40071, Frame::Waiting, FalseColour2);
  Add(table, 40072, Frame::SilentWaiting, FalseColour3);

  AddWithDialog(
      table, 40120, Frame::Waiting, "139", pointops::MakePseudocolourDialog,
      [](Canvas& c, const PixelMatrix& p) { StaticIntensitySlicing(c, p, RememberedThreeSlices()); });
  AddWithDialog(
      table, 40170, Frame::Waiting, "139", pointops::MakePseudocolourDialog,
      [](Canvas& c, const PixelMatrix& p) { IncrementalIntensitySlicing(c, p, RememberedThreeSlices()); });
  AddWithDialog(table, 40203, Frame::Waiting, "187", pointops::MakeImageSlicingDialog,
                [](Canvas& c, const PixelMatrix& p) {
                  ImageSlicing(c, p, OneSlice{remembered().range[0], remembered().colour[0]});
                });
  AddWithDialog(table, 40204, Frame::Waiting, "188", pointops::MakeImageSlicing2Dialog,
                [](Canvas& c, const PixelMatrix& p) {
                  const auto& m = remembered();
                  IntensitySlicing2(c, p, TwoSlices{{m.range[0], m.range[1]}, {m.colour[0], m.colour[1]}});
                });
  AddWithDialog(table, 40205, Frame::SilentWaiting, "189", pointops::MakeColourSlicingDialog,
                [](Canvas& c, const PixelMatrix& p) {
                  ColorSlicing(
                      c, p,
                      ColourSliceParams{RememberedBox(), pointops::BackgroundModeFor(remembered().choice)});
                });
  AddWithDialog(table, 40206, Frame::Waiting, "190", pointops::MakeColourReplaceDialog,
                [](Canvas& c, const PixelMatrix& p) {
                  const auto& m = remembered();
                  ObjectColorChange(
                      c, p,
                      ObjectColourParams{RememberedBox(), m.manual, pointops::ReplaceModeFor(m.choice)});
                });

  table.addResetHook(pointops::ResetRemembered);
}

}  // namespace opta
