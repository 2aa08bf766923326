// Runs of the real program with the fault-injection library preloaded (see
// fault_shim.cpp for what its variables do), and the shim's trace read back.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/messages.h"
#include "support/sandbox.h"
#include "support/temp_dir.h"

// One counted call of a clean run, as the shim traced it.
struct TracedCall {
  std::string name;
  long index = 0;
  std::string path;
  std::string mode;
};

struct Trace {
  std::vector<TracedCall> calls;
  long long peak = 0;  // the live heap's largest growth during the watched part
};

// Options for a run with the shim watching `watched` (and the temporary
// files beside it, and the current folder) until `next` is opened.
inline RunOptions WithShim(const std::string& watched, const std::string& next,
                           const std::vector<std::string>& shim_env) {
  RunOptions options = InLocale("ja_JP.UTF-8");
  options.env = {std::string("LD_PRELOAD=") + LOGSTAMP_FAULT_SHIM,
                 "FAULT_WATCH=" + watched + ":" + watched + ".logstamp-*:.",
                 "FAULT_UNTIL=" + next};
  options.env.insert(options.env.end(), shim_env.begin(), shim_env.end());
  return options;
}

inline Trace ReadTrace(const std::string& path) {
  Trace trace;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    TracedCall call;
    fields >> call.name;
    if (call.name == "peak") {
      fields >> trace.peak;
      continue;
    }
    fields >> call.index >> call.path >> call.mode;
    trace.calls.push_back(call);
  }
  return trace;
}

