#pragma once
// The program's pictures (window icon, toolbar strips, About picture) as Qt
// pixmaps, cut from the images the resources draw in code.
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <string_view>
#include <vector>

#include "platform/main_window.h"

namespace opta::qt {

// A bitmap or icon resource by the name a dialog template gives it ("191",
// "MYBP2", ...); null when there is no such picture.
QPixmap ResourcePixmap(std::string_view name);
QIcon ProgramIcon();
// Icon 191 drawn at size x size pixels, with its soft edges.
QImage ProgramIconImage(int size);
// The 14 button images of a toolbar strip, in strip order.
std::vector<QIcon> ToolbarIcons(platform::ToolbarKind kind);

}  // namespace opta::qt
