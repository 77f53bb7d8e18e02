#include "filters/commands.h"

#include "command/choice_dialogs.h"
#include "filters/kernels.h"

namespace opta {
namespace {

using namespace filters;

DialogStep SizeDialog() {
  return DialogStep{"105", [] { return MakeRadioChoice(1000, 1002, FilterSizeChoice); }};
}

void AddWindowFilter(CommandTable& table, int id, void (*filter)(Canvas&, const PixelMatrix&, int)) {
  table.add(Command{id, Frame::Waiting, {SizeDialog()}, [filter](CommandContext& ctx) {
                      Canvas canvas = ctx.canvas();
                      filter(canvas, ctx.doc.working.pixels, WindowSize());
                    }});
}

}  // namespace

void registerFiltersCommands(CommandTable& table) {
  table.add(Command{40006,
                    Frame::Waiting,
                    {DialogStep{"ABOUTBOX", [] { return MakeRadioChoice(11, 15, LowPassChoice); }}},
                    [](CommandContext& ctx) {
                      const LowPassMask& m = kLowPassMasks[LowPassChoice - 11];
                      Canvas canvas = ctx.canvas();
                      LowPassFilter(canvas, ctx.doc.working.pixels, m.mask, m.divisor);
                    }});
  table.add(Command{40005,
                    Frame::Waiting,
                    {DialogStep{"104", [] { return MakeRadioChoice(16, 18, HighPassChoice); }}},
                    [](CommandContext& ctx) {
                      Canvas canvas = ctx.canvas();
                      HighPassFilter(canvas, ctx.doc.working.pixels, kHighPassMasks[HighPassChoice - 16]);
                    }});
  table.add(Command{40174, Frame::Waiting, {}, [](CommandContext& ctx) {
                      Canvas canvas = ctx.canvas();
                      GaussianFilter(canvas, ctx.doc.working.pixels);
                    }});

  AddWindowFilter(table, 40004, MedianFilter);
  AddWindowFilter(table, 40111, ArithmeticMeanFilter);
  AddWindowFilter(table, 40112, GeometricMeanFilter);
  AddWindowFilter(table, 40113, HarmonicMeanFilter);
  AddWindowFilter(table, 40171, MaxFilter);
  AddWindowFilter(table, 40172, MinFilter);
  AddWindowFilter(table, 40173, MidpointFilter);
  // The order dialog follows the size dialog whatever its answer; only the
  // order dialog's answer decides, so a Cancel there keeps the last size.
  table.add(
      Command{40114,
              Frame::Waiting,
              {SizeDialog(), DialogStep{"127", [] { return MakeNumberEntry(1015, ContraharmonicOrder); }}},
              [](CommandContext& ctx) {
                Canvas canvas = ctx.canvas();
                ContraharmonicMeanFilter(canvas, ctx.doc.working.pixels, WindowSize(), ContraharmonicOrder);
              }});

  table.addResetHook([] {
    LowPassChoice = 11;
    HighPassChoice = 16;
    FilterSizeChoice = 1000;
    ContraharmonicOrder = 10;
  });
}

}  // namespace opta
