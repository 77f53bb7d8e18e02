#include "platform/qt/qt_images.h"

#if __has_include("resources/images.h")
#include "resources/images.h"
#define OPTA_HAVE_IMAGES 1
#endif

namespace opta::qt {

QPixmap ResourcePixmap(std::string_view) { return QPixmap(); }

QIcon ProgramIcon() { return QIcon(); }

std::vector<QIcon> ToolbarIcons(platform::ToolbarKind) { return {}; }

}  // namespace opta::qt
