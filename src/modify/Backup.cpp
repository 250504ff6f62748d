// The protection rule and the backup write.
#include "modify/Backup.h"

namespace kestrix::modify {

bool isProtected(const platform::Attributes& attributes) {
  return attributes.readOnly || attributes.hidden || attributes.system;
}

bool mayModify(const platform::Attributes& attributes, bool modifyReadOnly, bool modifyHidden) {
  if (attributes.system) return false;
  if (attributes.readOnly && !modifyReadOnly) return false;
  return !attributes.hidden || modifyHidden;
}

}  // namespace kestrix::modify
