// The settings tool's JSON import on any bytes: it never crashes, and what it
// accepts exports to a document that imports to the very same files.
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/settings_tool/settings_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace halvik::tools;
  std::string text(reinterpret_cast<const char*>(data), size);
  SettingsFolder plan;
  std::vector<std::string> errors;
  if (!PlanImport(text, plan, errors)) return 0;
  std::string json;
  if (!ExportJson(plan, {}, json, errors)) std::abort();
  SettingsFolder again;
  if (!PlanImport(json, again, errors)) std::abort();
  if (again.slots != plan.slots || again.records != plan.records) std::abort();
  return 0;
}
