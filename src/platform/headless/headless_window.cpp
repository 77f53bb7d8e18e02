#include "platform/headless/headless_window.h"

namespace opta::headless {

std::optional<int> HeadlessWindow::takePosted() {
  if (posted_.empty()) return std::nullopt;
  const int id = posted_.front();
  posted_.pop_front();
  return id;
}

void HeadlessWindow::setCaption(std::string_view caption) {
  caption_ = std::string(caption);
  captions_.push_back(caption_);
}

void HeadlessWindow::createToolbar(platform::ToolbarKind kind) {
  if (toolbar_.exists) ++toolbar_.destroyed;
  toolbar_.exists = true;
  toolbar_.kind = kind;
  toolbar_.visible = true;
  ++toolbar_.created;
}

void HeadlessWindow::destroyToolbar() {
  if (!toolbar_.exists) return;
  toolbar_.exists = false;
  toolbar_.visible = false;
  ++toolbar_.destroyed;
}

void HeadlessWindow::showToolbar(bool visible) {
  if (toolbar_.exists) toolbar_.visible = visible;
}

int HeadlessWindow::trackPopupMenu(Point clientPosition) {
  popupPositions_.push_back(clientPosition);
  if (popupChoices_.empty()) return 0;
  const int id = popupChoices_.front();
  popupChoices_.pop_front();
  return id;
}

}  // namespace opta::headless
