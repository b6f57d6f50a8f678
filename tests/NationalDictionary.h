#pragma once
// The national postal-code file of the shared data made into a dictionary folder by the
// updater's own pipeline, for tests that check against real towns.
#include <string>

#include "AppPaths.h"
#include "KaedeZipPipelines.h"
#include "TestUtil.h"

namespace kaede::test {

inline bool MakeNationalDictionary(const std::string& folder) {
  TKaedeZipPipeline pipeline;
  pipeline.Source = SharedData("kenall/ken_all_2026-06-05.zip");
  pipeline.TargetFolder = IncludeTrailingDelimiter(folder);
  pipeline.Force = true;
  return pipeline.Run();
}

}  // namespace kaede::test
