// What one navigation found, as values: the rows of the reaches passed, the
// four status digits, why the walk stopped where it did, the pieces of
// reaches passed in part, or why the request was refused. Every program
// makes its outputs from this alone (navigation/result_text.h turns it into
// the text of the files); the walk's own state never leaves the core.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "network/records.h"

namespace rill {

// One reach passed, in the request's units, as the result CSV gives it. The
// code and date are read from the loaded tables, which must outlive the row.
struct ResultRow {
  const ReachRecord* reach = nullptr;
  std::int32_t reachIndex = -1;  // where the reach stands in the loaded reach table
  std::int32_t comId = 0;
  double fromMeasure = 0.0;
  double toMeasure = 0.0;
  double distance = 0.0;  // travel distance from the start to the end of this passage
  double length = 0.0;    // travel distance within this passage

  std::string_view code() const { return reach->Code(); }
  std::string_view date() const { return reach->Date(); }
  std::int32_t duuId() const { return reach->Duu_id; }
};

// The four status digits (the ccode) of a navigation.
class StatusDigits {
 public:
  // The third digit: what the start or the walk came upon.
  enum class Passage : char {
    Clear = '0',
    StartBlocked = '1',         // the start could not be walked from
    LakeWithoutMainPath = '2',  // the walk passed a lake reach with no main path
    Divergence = '3',           // the walk passed a divergence
    BranchAgainstFlow = '4',    // the walk entered a branched reach against its flow
  };

  StatusDigits() = default;
  StatusDigits(bool limitNotMet, bool endNotMet, Passage passage)
      : digits_{limitNotMet ? '1' : '0', endNotMet ? '1' : '0', static_cast<char>(passage), '0'} {}

  // The walk ran out of reaches before its distance was met (first digit).
  bool limitNotMet() const { return digits_[0] == '1'; }
  // A point-to-point walk did not meet its end from either point (second digit).
  bool endNotMet() const { return digits_[1] == '1'; }
  Passage passage() const { return static_cast<Passage>(digits_[2]); }
  bool clear() const { return text() == "0000"; }
  // The four digits as ccode.txt and STATUS print them.
  std::string_view text() const { return {digits_, 4}; }

 private:
  char digits_[4] = {'0', '0', '0', '0'};
};

// A stretch of a reach that the walk passed in part (a branched or lake
// reach, an interior junction, the start or the end of the walk).
struct ReachPiece {
  std::int32_t comId = 0;
  double fromMeasure = 0.0;  // where the walk entered it
  double toMeasure = 0.0;    // where it left
  double meters = 0.0;
};

// Which point of a request.
enum class RequestPoint { Start, End };

// Why a request was not walked: it names a point by a code and a Com_id
// that disagree.
struct Refusal {
  RequestPoint point = RequestPoint::Start;
  std::string reason;  // in the words STATUS prints
};

// Everything a navigation found. `digits` is empty when nothing was
// navigated (a request of no navigation kind, or a refused one).
struct Navigation {
  std::vector<ResultRow> rows;         // in the order written, the unit boundary applied
  std::size_t passages = 0;            // passages the walk recorded, before the boundary
  std::optional<StatusDigits> digits;  // the ccode
  std::vector<std::string> notes;      // why the digits are not all 0, in the words of the trace
  std::vector<ReachPiece> pieces;      // reaches passed in part, in the order the walk met them
  std::optional<Refusal> refusal;      // set: nothing was walked and nothing written to the log
  bool pointsSwapped = false;          // the points were exchanged: the rows run from the far end
  bool stopped = false;                // the workspace's deadline passed: the walk was cut short
};

}  // namespace rill
