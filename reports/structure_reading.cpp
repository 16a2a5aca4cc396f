#include "reports/structure_reading.h"

#include <cstring>

#include "core/layouts/structure.h"
#include "core/record_store.h"

namespace talvera {

bool ReadStructureTree(int accountClass, std::vector<StructureNode>& out) {
  namespace s = layouts::structure;
  out.clear();
  int slot = accountClass == 2 ? kSlotBilaktau : accountClass == 4 ? kSlotBilpasau : kSlotGuvauf;
  char r[s::kLayout.recordLength];
  bool found = false;
  FileId byId = MakeFileId(slot, 0);
  bool ok = GetFirstFound(r, found, byId);
  while (ok && found) {
    StructureNode n;
    n.id = layouts::GetNumber(r, s::kNodeId);
    n.kind = static_cast<int>(layouts::GetNumber(r, s::kNodeKind));
    n.next = layouts::GetNumber(r, s::kNext);
    n.above = layouts::GetNumber(r, s::kAbove);
    const char* label = layouts::FieldBytes(r, s::kLabel);
    n.label.assign(label, strnlen(label, s::kLabel.width));
    out.push_back(std::move(n));
    ok = GetNextFound(r, found, byId);
  }
  return ok;
}

}  // namespace talvera
