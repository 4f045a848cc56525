// The Optimize command: the tweak catalogue and its worker thread.
#pragma once

namespace lumeno {

// Thread routine started by RunOptimize.
void OptimizeWorker();

}  // namespace lumeno
