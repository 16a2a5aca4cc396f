#include "core/structure_file.h"

#include <map>
#include <set>

#include "core/layouts/sako.h"
#include "core/layouts/structure.h"
#include "core/record_store.h"
#include "recman/recman.h"

namespace talvera {

namespace {

namespace N = layouts::structure;

constexpr FileId kScratch = MakeFileId(kSlotScratch, 0);

// ---- Tree to records ------------------------------------------------------

class RecordWriter {
 public:
  explicit RecordWriter(const StructureTree& tree) : tree_(tree) {}

  std::vector<StructureRecord> Take() {
    StructureRecord header;
    header.id = 1;
    header.kind = N::kGroup;
    header.label = tree_.title;
    records_.push_back(header);
    Chain(StructureTree::kHeader, 1);
    for (const LooseLeaf& leaf : tree_.loose) {
      StructureRecord r;
      r.id = static_cast<int>(records_.size()) + 1;
      r.kind = N::kLeaf;
      r.label = leaf.account;
      r.shortCode = leaf.shortCode;
      records_.push_back(r);
    }
    return std::move(records_);
  }

 private:
  // Writes the children of the entry whose record has id `parentId`.
  void Chain(int handle, int parentId) {
    int previous = 0;  // index of the previous child's record
    for (int child : tree_.at(handle).children) {
      const StructureEntry& e = tree_.at(child);
      StructureRecord r;
      r.id = static_cast<int>(records_.size()) + 1;
      r.above = previous ? records_[previous].id : parentId;
      if (previous) records_[previous].next = r.id;
      if (e.IsGroup()) {
        r.kind = N::kGroup;
        r.levelWord = N::LevelWord(e.level, e.attributes);
        r.label = e.text;
      } else {
        r.kind = e.kind == StructureEntry::kAlternativeLeaf ? N::kAlternativeLeaf : N::kLeaf;
        r.label = e.text;
        r.shortCode = e.shortCode;
      }
      previous = static_cast<int>(records_.size());
      records_.push_back(r);
      if (e.IsGroup()) Chain(child, r.id);
    }
  }

  const StructureTree& tree_;
  std::vector<StructureRecord> records_;
};

// ---- Records to tree ------------------------------------------------------

class RecordReader {
 public:
  explicit RecordReader(const std::vector<StructureRecord>& records) {
    for (const StructureRecord& r : records) {
      if (byId_.emplace(r.id, &r).second) belowOrAfter_.emplace(r.above, r.id);
    }
  }

  bool Read(StructureTree& out) {
    auto header = byId_.find(1);
    if (header == byId_.end()) return byId_.empty();
    out.title = header->second->label;
    visited_.insert(1);
    ReadChildren(*header->second, StructureTree::kHeader, 0, out);
    for (const auto& [id, r] : byId_) {
      if (visited_.count(id) || r->kind != N::kLeaf || out.HasLeaf(r->label)) continue;
      out.loose.push_back({r->label, r->shortCode});
    }
    return true;
  }

 private:
  // The first child names its group in `above` and is not the group's
  // successor, which names it too.
  const StructureRecord* FirstChild(const StructureRecord& group) const {
    auto [from, to] = belowOrAfter_.equal_range(group.id);
    for (auto it = from; it != to; ++it)
      if (it->second != group.next && it->second != group.id && !visited_.count(it->second))
        return byId_.at(it->second);
    return nullptr;
  }

  void ReadChildren(const StructureRecord& group, int handle, int depth, StructureTree& out) {
    for (const StructureRecord* child = FirstChild(group); child && visited_.insert(child->id).second;
         child = Next(*child)) {
      if (child->kind & N::kGroup) {
        int h = out.AppendGroup(handle, child->label, depth + 1, N::AttributesOf(child->levelWord));
        ReadChildren(*child, h, depth + 1, out);
      } else if (child->kind & N::kLeaf) {
        out.AppendLeaf(handle, child->label, child->shortCode, child->kind & N::kAlternativeBit);
      }
    }
  }

  const StructureRecord* Next(const StructureRecord& r) const {
    auto it = byId_.find(r.next);
    return r.next && it != byId_.end() ? it->second : nullptr;
  }

  std::map<int, const StructureRecord*> byId_;
  std::multimap<int, int> belowOrAfter_;  // above -> id, in id order
  std::set<int> visited_;
};

StructureRecord RecordFrom(const char* r) {
  StructureRecord s;
  s.id = static_cast<int>(layouts::GetNumber(r, N::kNodeId));
  s.kind = static_cast<int>(layouts::GetNumber(r, N::kNodeKind));
  s.next = static_cast<int>(layouts::GetNumber(r, N::kNext));
  s.above = static_cast<int>(layouts::GetNumber(r, N::kAbove));
  s.levelWord = static_cast<int>(layouts::GetNumber(r, N::kLevel));
  s.label = layouts::GetText(r, N::kLabel);
  s.shortCode = layouts::GetText(r, N::kShortCode);
  return s;
}

void SetRecord(char* r, const StructureRecord& s) {
  layouts::InitRecord(N::kLayout, r);
  layouts::SetNumber(r, N::kNodeId, s.id);
  layouts::SetNumber(r, N::kNodeKind, s.kind);
  layouts::SetNumber(r, N::kNext, s.next);
  layouts::SetNumber(r, N::kAbove, s.above);
  layouts::SetNumber(r, N::kLevel, s.levelWord);
  if (s.kind & N::kLeaf) {
    layouts::SetRawText(r, N::kLabel, s.label);
    layouts::SetText(r, N::kShortCode, s.shortCode);
  } else {
    layouts::SetText(r, N::kLabel, s.label);
  }
}

std::string DirectoryOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

std::vector<StructureRecord> StructureRecords(const StructureTree& tree) {
  return RecordWriter(tree).Take();
}

bool TreeFromRecords(const std::vector<StructureRecord>& records, StructureTree& out) {
  out = StructureTree{};
  return RecordReader(records).Read(out);
}

std::string StructurePath(const std::string& directory, StructureKind kind) {
  return directory + "/" + StructureFileName(kind) + ".btr";
}

bool ReadStructureRecords(const std::string& path, std::vector<StructureRecord>& out) {
  out.clear();
  if (!OpenPath(path, kSlotScratch)) return false;
  char record[N::kLayout.recordLength];
  bool found = false;
  bool ok = GetFirstFound(record, found, kScratch);
  while (ok && found) {
    out.push_back(RecordFrom(record));
    ok = GetNextFound(record, found, kScratch);
  }
  CloseSlot(kSlotScratch);
  return ok;
}

bool LoadStructure(const std::string& path, StructureTree& out) {
  std::vector<StructureRecord> records;
  return ReadStructureRecords(path, records) && TreeFromRecords(records, out);
}

bool InsertStructureRecords(const StructureTree& tree, int slot) {
  char record[N::kLayout.recordLength];
  for (const StructureRecord& s : StructureRecords(tree)) {
    SetRecord(record, s);
    if (!Insert(record, MakeFileId(slot, 0))) return false;
  }
  return true;
}

bool ReplaceStructureRecords(const std::string& path, const StructureTree& tree) {
  if (!OpenPath(path, kSlotScratch)) return false;
  char record[N::kLayout.recordLength];
  bool found = false;
  bool ok = GetFirstFound(record, found, kScratch);
  while (ok && found) ok = Delete(kSlotScratch) && GetFirstFound(record, found, kScratch);
  ok = ok && InsertStructureRecords(tree, kSlotScratch);
  CloseSlot(kSlotScratch);
  return ok;
}

bool SaveStructure(const std::string& path, const StructureTree& tree) {
  recman::UseDirectory(DirectoryOf(path));
  bool ok = false;
  {
    StoreTransaction transaction;
    ok = transaction.began() && ReplaceStructureRecords(path, tree) && transaction.Commit();
  }
  CloseSlot(kSlotScratch);  // stayed open while the transaction ran
  return ok;
}

bool ReadClassAccounts(const std::string& directory, int accountClass,
                       std::vector<ClassAccount>& out) {
  namespace S = layouts::sako;
  out.clear();
  if (!OpenPath(directory + "/sako.btr", kSlotScratch)) return false;
  char record[S::kLayout.recordLength];
  bool found = false;
  bool ok = GetFirstFound(record, found, kScratch);
  while (ok && found) {
    int cls = static_cast<int>(layouts::GetNumber(record, S::kAccountClass));
    if (accountClass == 0 || cls == accountClass)
      out.push_back({layouts::GetText(record, S::kAccountNo), layouts::GetText(record, S::kShortCode),
                     layouts::GetText(record, S::kName), cls});
    ok = GetNextFound(record, found, kScratch);
  }
  CloseSlot(kSlotScratch);
  return ok;
}

}  // namespace talvera
