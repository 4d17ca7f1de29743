#include "phonebook/export_options.h"

bool& NoExtensionFlag() {
  static bool noExtension = false;
  return noExtension;
}
