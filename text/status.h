// The one way a call of this project fails: a Status, ok or a fault with the
// message a user reads (and the file it concerns, when there is one). Every
// fallible call below the programs returns one (or a StatusOr<T>), never
// throws it; each program maps a fault to its own documented exit status.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace rill {

// What went wrong, in the terms the programs' exit statuses are documented in.
enum class Fault : unsigned char {
  None,              // no fault: the call did what it was asked
  InputMissing,      // an input (a table, the requests, a source) cannot be opened or read
  Unusable,          // an option, a request, a header or a value cannot be used; nothing was done
  OutputFailed,      // an output cannot be created or written completely
  OutOfMemory,       // memory ran out
  Failed,            // the work stopped on a fault of its own
  NothingNavigated,  // every request of a batch was refused or found no tables
  Interrupted,       // stopped on request, outputs complete up to a request
};

class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Fault fault, std::string message, std::string path = {})
      : fault_(fault), message_(std::move(message)), path_(std::move(path)) {}

  static Status Ok() { return Status(); }

  bool ok() const { return fault_ == Fault::None; }
  Fault fault() const { return fault_; }
  // In the words a user reads, one line without its line end; empty when ok.
  const std::string& message() const { return message_; }
  // The file the fault concerns, when it concerns one.
  const std::string& path() const { return path_; }

 private:
  Fault fault_ = Fault::None;
  std::string message_;
  std::string path_;
};

// A value, or the Status that says why there is none.
template <typename T>
class [[nodiscard]] StatusOr {
 public:
  StatusOr(T value) : held_(std::move(value)) {}
  StatusOr(Status status) : held_(std::move(status)) {}

  bool ok() const { return std::holds_alternative<T>(held_); }
  // Ok when a value is held.
  Status status() const { return ok() ? Status::Ok() : std::get<Status>(held_); }
  T& value() & { return std::get<T>(held_); }
  const T& value() const& { return std::get<T>(held_); }
  T&& value() && { return std::get<T>(std::move(held_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

 private:
  std::variant<T, Status> held_;
};

}  // namespace rill
