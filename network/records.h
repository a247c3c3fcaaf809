// Records of the three input tables, as loaded.
#pragma once

#include <cstdint>
#include <string_view>

namespace rill {

// One row of rchdata.txt.
struct ReachRecord {
  std::int32_t Com_id = 0;
  char Rch_code[15] = {};  // at most 14 characters, zero-terminated
  char Rch_date[9] = {};   // at most 8 characters, zero-terminated
  std::int32_t Level = 0;
  std::int32_t Meters = 0;
  std::int32_t Duu_id = 0;
  std::int16_t Branched = 0;   // 0 ordinary, 1 branched, 2 lake with no mainpath
  std::int16_t Divergent = 0;  // 1 when more rows leave a branched or lake reach than enter it

  std::string_view Code() const { return Rch_code; }
  std::string_view Date() const { return Rch_date; }
};

// One row of flowdata.txt, oriented so that water runs from Com_id1 to Com_id2.
struct FlowRecord {
  std::int32_t Rel_com_Id = 0;
  std::int32_t Com_id1 = 0;
  std::int32_t Com_id2 = 0;
  // The dense id of Com_id1 (NetworkTables::IdOf), set when the flows are
  // sealed: a walk follows these ids, not the Com_ids.
  std::int32_t id1 = -1;
  double Sequence = 0.0;  // junction measure when positive
  std::int32_t Dir = 0;   // 709, 712, 714 ...; a Dir 710 row is stored as 709
  std::int32_t DLevel = 0;
  std::int16_t Orig710 = 0;  // 1: read as Dir 710, Com_id1 and Com_id2 exchanged
  std::int32_t id2 = -1;     // as id1, of Com_id2
};
static_assert(sizeof(FlowRecord) == 40, "the dense ids fill the record's padding");

// One row of secdata.txt. Water enters at Fnode (the T_meas end) and
// leaves at Tnode (the F_meas end).
struct SectionRecord {
  double F_meas = 0.0;
  double T_meas = 0.0;
  std::int32_t Fnode = 0;
  std::int32_t Tnode = 0;
  std::int32_t Com_id = 0;
  std::int32_t Meters = 0;
};

// Dir codes the walkers act on.
inline constexpr std::int32_t kDirOrdinary = 709;
inline constexpr std::int32_t kDirReversed = 710;
inline constexpr std::int32_t kDirHeadwater = 712;
inline constexpr std::int32_t kDirCoast = 714;

}  // namespace rill
