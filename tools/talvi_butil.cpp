// talvi-butil: maintenance of record files for developers and support.
//
//   talvi-butil stat FILE          record length, page size, keys, record count
//   talvi-butil dump FILE [KEY]    records in key order, one per line
//   talvi-butil save FILE OUT      records as a flat file of fixed-length records
//   talvi-butil load FILE IN       adds the records of such a flat file
//   talvi-butil check FILE         stored keys agree with the records
//   talvi-butil show FILE [KEY]    records in key order, field by field
//
// A command is one entry of the table below; a new one adds a row.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/layouts/layout.h"
#include "maintenance.h"
#include "recman.h"

namespace {

using Args = std::vector<std::string>;

int Fail(const std::string& what, int status) {
  std::fprintf(stderr, "talvi-butil: %s: %s\n", what.c_str(), recman::StatusText(status).c_str());
  return 1;
}

bool ParseKeyNumber(const std::string& text, int* key) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || value < 0 || value > 118) return false;
  *key = int(value);
  return true;
}

int Stat(const Args& args) {
  std::string text;
  if (int status = recman::DescribeFile(args[0], &text)) return Fail(args[0], status);
  std::fputs(text.c_str(), stdout);
  return 0;
}

int Dump(const Args& args) {
  int key = 0;
  if (args.size() > 1 && !ParseKeyNumber(args[1], &key)) {
    std::fprintf(stderr, "talvi-butil: Ungültige Schlüsselnummer: %s\n", args[1].c_str());
    return 2;
  }
  int status = recman::ForEachRecord(args[0], key, [](const uint8_t* record, size_t length) {
    std::printf("%s\n", recman::FormatRecord(record, length).c_str());
  });
  return status ? Fail(args[0], status) : 0;
}

int Save(const Args& args) {
  uint64_t count = 0;
  if (int status = recman::SaveFlat(args[0], args[1], &count)) return Fail(args[0], status);
  std::printf("%llu Sätze gesichert nach %s\n", static_cast<unsigned long long>(count),
              args[1].c_str());
  return 0;
}

int Load(const Args& args) {
  uint64_t count = 0;
  if (int status = recman::LoadFlat(args[0], args[1], &count)) return Fail(args[1], status);
  std::printf("%llu Sätze geladen in %s\n", static_cast<unsigned long long>(count),
              args[0].c_str());
  return 0;
}

int Check(const Args& args) {
  std::vector<std::string> problems;
  if (int status = recman::CheckFile(args[0], &problems)) return Fail(args[0], status);
  for (const std::string& problem : problems) std::printf("%s\n", problem.c_str());
  if (!problems.empty()) {
    std::fprintf(stderr, "talvi-butil: %s: %zu Fehler gefunden\n", args[0].c_str(),
                 problems.size());
    return 1;
  }
  std::printf("%s: in Ordnung\n", args[0].c_str());
  return 0;
}

int Show(const Args& args) {
  int key = 0;
  if (args.size() > 1 && !ParseKeyNumber(args[1], &key)) {
    std::fprintf(stderr, "talvi-butil: Ungültige Schlüsselnummer: %s\n", args[1].c_str());
    return 2;
  }
  const talvera::layouts::Layout* layout = nullptr;
  bool unknown = false;
  long number = 0;
  int status = recman::ForEachRecord(args[0], key, [&](const uint8_t* record, size_t length) {
    if (!layout && !unknown) {
      layout = talvera::layouts::LayoutForFile(args[0], static_cast<int>(length));
      unknown = layout == nullptr;
    }
    if (unknown) return;
    std::printf("--- Satz %ld\n%s", ++number,
                talvera::layouts::DescribeRecord(*layout, record, length).c_str());
  });
  if (status) return Fail(args[0], status);
  if (unknown) {
    std::fprintf(stderr, "talvi-butil: %s: unbekanntes Satzformat\n", args[0].c_str());
    return 1;
  }
  return 0;
}

struct Command {
  const char* name;
  size_t minArgs;
  size_t maxArgs;
  const char* usage;
  int (*run)(const Args&);
};

const Command kCommands[] = {
    {"stat", 1, 1, "stat DATEI", Stat},
    {"dump", 1, 2, "dump DATEI [SCHLÜSSEL]", Dump},
    {"save", 2, 2, "save DATEI AUSGABE", Save},
    {"load", 2, 2, "load DATEI EINGABE", Load},
    {"check", 1, 1, "check DATEI", Check},
    {"show", 1, 2, "show DATEI [SCHLÜSSEL]", Show},
};

int Usage() {
  std::fprintf(stderr, "Aufruf:\n");
  for (const Command& command : kCommands)
    std::fprintf(stderr, "  talvi-butil %s\n", command.usage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string name = argv[1];
  Args args(argv + 2, argv + argc);
  for (const Command& command : kCommands) {
    if (name != command.name) continue;
    if (args.size() < command.minArgs || args.size() > command.maxArgs) {
      std::fprintf(stderr, "talvi-butil: falsche Anzahl Argumente. Aufruf: talvi-butil %s\n",
                   command.usage);
      return 2;
    }
    int result = command.run(args);
    recman::Shutdown();
    return result;
  }
  std::fprintf(stderr, "talvi-butil: unbekannter Befehl: %s\n", name.c_str());
  return Usage();
}
