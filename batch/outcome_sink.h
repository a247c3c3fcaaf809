#pragma once

#include <memory>

#include "batch/request_outcome.h"

namespace rill {

// Where the outcomes of a batch go: the batch's files, a data frame, a
// web answer. Each sink makes of an outcome what it keeps, on the worker
// that navigated it (so that formatting runs on every core), then takes
// those pieces on the caller's thread in request order.
class OutcomeSink {
 public:
  // What a sink keeps of the requests of one chunk, in their order.
  class Chunk {
   public:
    virtual ~Chunk() = default;
    // Called on one worker thread for each request of the chunk, in order.
    virtual void Add(const RequestOutcome& outcome) = 0;
    // The same, for an outcome the caller no longer needs: a sink may keep
    // parts of it (the rows of a large result) instead of copying them.
    virtual void AddOwned(RequestOutcome&& outcome) { Add(outcome); }
    // Made empty again for the next chunk, keeping its room where that is cheap.
    virtual void Clear() = 0;
  };

  virtual ~OutcomeSink() = default;
  // Whether the sink keeps the trace: the batch formats it only then.
  virtual bool WantsLog() const { return false; }
  // A new, empty chunk (called on the caller's thread).
  virtual std::unique_ptr<Chunk> NewChunk() = 0;
  // Takes a filled chunk, in request order, on the caller's thread. A
  // Status that is not ok stops the batch with it.
  virtual Status Take(Chunk& chunk) = 0;
};

}  // namespace rill
