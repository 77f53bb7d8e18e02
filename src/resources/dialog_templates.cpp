// Dialog templates in dialog units.
#include "resources/resources.h"

namespace opta::resources {

const std::vector<DialogTemplate>& dialogTemplates() {
  static const std::vector<DialogTemplate> t;
  return t;
}

}  // namespace opta::resources
