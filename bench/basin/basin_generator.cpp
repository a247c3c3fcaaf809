#include "bench/basin/basin_generator.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <vector>

namespace rill::bench {

namespace {

// splitmix64: the same numbers on every platform and standard library,
// which <random>'s distributions do not promise.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number in [0, n).
  std::int32_t Below(std::int32_t n) {
    return static_cast<std::int32_t>(((Next() >> 32) * static_cast<std::uint64_t>(n)) >> 32);
  }
  bool PerMille(std::int32_t chance) { return Below(1000) < chance; }

 private:
  std::uint64_t state_;
};

// Measures are kept in thousandths so that equal measures are equal exactly.
constexpr std::int32_t kTop = 100000;
constexpr std::int32_t kLakeTop = 200000;

struct Reach {
  std::int32_t parent = -1;  // the tree reach it drains to; -1 for the outlet and the coast
  std::int32_t comId = 0;
  std::int32_t level = 1;
  std::int32_t meters = 0;
  std::int32_t depth = 0;
  std::int32_t topNode = 0;
  std::int32_t bottomNode = 0;
  std::int32_t children = 0;
  std::int32_t mainChild = -1;  // the child draining most, on the same level path
  std::int32_t drainage = 1;    // reaches upstream, itself included
  bool lake = false;            // sections between measures 100 and 200
  std::int32_t branchFrom = 0;  // a branched reach: the node its branch section leaves
};

// A point inside a reach where its sections are cut.
struct Cut {
  std::int32_t reach;
  std::int32_t at;  // thousandths of a measure
  std::int32_t node;
  bool operator<(const Cut& o) const { return reach != o.reach ? reach < o.reach : at < o.at; }
};

struct Row {
  std::int32_t group;    // 714 rows, then 712, then 709 and 710 together
  std::int32_t leaving;  // the reach the water leaves; -1 for none (712)
  std::int32_t entering;
  std::int32_t dLevel;
  std::int32_t dir;
  std::int32_t sequence;
};

class Output {
 public:
  explicit Output(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
  ~Output() { Close(); }
  bool ok() const { return file_ != nullptr && !failed_; }
  void Text(std::string_view s) {
    buffer_.append(s);
    if (buffer_.size() > (1 << 20)) Flush();
  }
  void Whole(std::int64_t v) {
    char tmp[24];
    auto r = std::to_chars(tmp, tmp + sizeof tmp, v);
    Text({tmp, static_cast<std::size_t>(r.ptr - tmp)});
  }
  // A measure in thousandths, as the shortest decimal text.
  void Measure(std::int32_t thousandths) {
    Whole(thousandths / 1000);
    std::int32_t frac = thousandths % 1000;
    if (frac == 0) return;
    char digits[4] = {'.', static_cast<char>('0' + frac / 100), static_cast<char>('0' + frac / 10 % 10),
                      static_cast<char>('0' + frac % 10)};
    std::size_t n = 4;
    while (digits[n - 1] == '0') --n;
    Text({digits, n});
  }
  bool Close() {
    if (file_ == nullptr) return false;
    Flush();
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
  }

 private:
  void Flush() {
    if (file_ != nullptr && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
  }
  std::FILE* file_;
  std::string buffer_;
  bool failed_ = false;
};

class Basin {
 public:
  explicit Basin(const BasinShape& shape) : random_(shape.seed) {
    const std::int32_t total = std::max(shape.reaches, 16);
    coast_ = 4;
    divergences_ = total / 100;
    tree_ = total - coast_ - divergences_;
    reaches_.resize(static_cast<std::size_t>(total));
    GrowTree();
    MarkLevelPaths();
    PlaceJunctions();
    AddDivergences();
    AddCoast();
    NumberReaches();
  }

  bool Write(const std::string& folder) {
    Output rch(folder + "rchdata.txt");
    Output flow(folder + "flowdata.txt");
    Output sec(folder + "secdata.txt");
    WriteReaches(rch);
    WriteSections(sec);
    WriteFlows(flow);
    return rch.Close() && flow.Close() && sec.Close();
  }

  BasinEnds Ends() const {
    std::int32_t far = 0;
    for (std::int32_t i = 0; i < tree_; ++i)
      if (at(i).children == 0 && at(i).depth > at(far).depth) far = i;
    return {Code(0), Code(far)};
  }

 private:
  Reach& at(std::int32_t i) { return reaches_[static_cast<std::size_t>(i)]; }
  const Reach& at(std::int32_t i) const { return reaches_[static_cast<std::size_t>(i)]; }
  std::int32_t NewNode() { return nextNode_++; }
  std::int32_t Meters() {
    std::int32_t m = 200 + random_.Below(3000);
    if (random_.PerMille(100)) m += random_.Below(12000);
    return m;
  }
  std::int32_t InteriorMeasure() { return 1000 + random_.Below(98) * 1000 + random_.Below(4) * 250; }

  // Each new reach drains to an earlier one that has fewer than two
  // tributaries, most often the one just added, so that long stems form.
  void GrowTree() {
    std::vector<std::int32_t> open{0};
    std::vector<std::int32_t> slot(static_cast<std::size_t>(tree_), -1);
    slot[0] = 0;
    for (std::int32_t i = 1; i < tree_; ++i) {
      std::int32_t p = i - 1;
      if (slot[static_cast<std::size_t>(p)] < 0 || !random_.PerMille(550))
        p = open[static_cast<std::size_t>(random_.Below(static_cast<std::int32_t>(open.size())))];
      at(i).parent = p;
      at(i).depth = at(p).depth + 1;
      if (++at(p).children == 2) {
        const std::int32_t hole = slot[static_cast<std::size_t>(p)];
        open[static_cast<std::size_t>(hole)] = open.back();
        slot[static_cast<std::size_t>(open.back())] = hole;
        open.pop_back();
        slot[static_cast<std::size_t>(p)] = -1;
      }
      slot[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(open.size());
      open.push_back(i);
    }
  }

  // Main stems follow the largest drainage and keep their level.
  void MarkLevelPaths() {
    for (std::int32_t i = tree_ - 1; i >= 1; --i) at(at(i).parent).drainage += at(i).drainage;
    for (std::int32_t i = 1; i < tree_; ++i) {
      Reach& p = at(at(i).parent);
      if (p.mainChild < 0 || at(i).drainage > at(p.mainChild).drainage) p.mainChild = i;
    }
    for (std::int32_t i = 0; i < tree_; ++i) {
      Reach& r = at(i);
      r.meters = Meters();
      r.topNode = NewNode();
      r.lake = i > 0 && random_.PerMille(5);
      if (i > 0) r.level = at(r.parent).mainChild == i ? at(r.parent).level : at(r.parent).level + 1;
    }
  }

  // Tributaries join at the top of their receiving reach or, now and then,
  // inside it at a node that cuts it into sections.
  void PlaceJunctions() {
    at(0).bottomNode = NewNode();
    std::vector<Cut> joins;
    for (std::int32_t i = 1; i < tree_; ++i) {
      const Reach& p = at(at(i).parent);
      at(i).bottomNode = p.topNode;
      if (p.mainChild != i && !p.lake && random_.PerMille(150)) joins.push_back({at(i).parent, InteriorMeasure(), i});
    }
    std::sort(joins.begin(), joins.end());
    for (std::size_t j = 0; j < joins.size(); ++j) {
      const bool shared = j > 0 && joins[j].reach == joins[j - 1].reach && joins[j].at == joins[j - 1].at;
      const std::int32_t node = shared ? cuts_.back().node : NewNode();
      if (!shared) cuts_.push_back({joins[j].reach, joins[j].at, node});
      at(joins[j].node).bottomNode = node;
      joinAt_.push_back({joins[j].node, joins[j].at, 0});
    }
    // Some reaches are cut where nothing joins.
    for (std::int32_t i = 0; i < tree_; ++i)
      if (!at(i).lake && random_.PerMille(50)) cuts_.push_back({i, InteriorMeasure(), NewNode()});
    for (std::int32_t i = 1; i < tree_; ++i)
      if (at(i).children == 0) rows_.push_back({1, -1, i, 0, 712, 0});
    for (std::int32_t i = 1; i < tree_; ++i) {
      const std::int32_t p = at(i).parent;
      rows_.push_back({2, i, p, at(p).mainChild == i ? 0 : 1, 709, 0});
    }
    std::sort(joinAt_.begin(), joinAt_.end());
    for (Row& row : rows_) {
      if (row.dir != 709) continue;
      auto it = std::lower_bound(joinAt_.begin(), joinAt_.end(), Cut{row.leaving, 0, 0});
      if (it != joinAt_.end() && it->reach == row.leaving) row.sequence = std::max(1, it->at / 1000);
    }
  }

  // A divergence leaves a reach at its foot (an ordinary or a branched
  // distributary) or inside it (a Dir 710 row), and rejoins two reaches down.
  void AddDivergences() {
    for (std::int32_t d = 0; d < divergences_; ++d) {
      const std::int32_t di = tree_ + d;
      std::int32_t x = 0;
      do x = 1 + random_.Below(tree_ - 1);
      while (at(x).lake || at(x).parent <= 0);
      const std::int32_t g = at(at(x).parent).parent;
      Reach& r = at(di);
      r.level = at(x).level + 1;
      r.meters = Meters();
      r.bottomNode = at(g).topNode;
      const std::int32_t kind = random_.Below(10);
      if (kind < 3) {
        const std::int32_t measure = InteriorMeasure();
        r.topNode = NewNode();
        cuts_.push_back({x, measure, r.topNode});
        rows_.push_back({2, x, di, 1, 710, std::max(1, measure / 1000)});
      } else {
        r.topNode = kind < 6 ? NewNode() : at(x).bottomNode;
        if (kind < 6) r.branchFrom = at(x).bottomNode;
        rows_.push_back({2, x, di, 1, 709, 0});
      }
      rows_.push_back({2, di, g, 1, 709, 0});
    }
  }

  // A few coastline reaches joined to the outlet and to each other.
  void AddCoast() {
    for (std::int32_t c = 0; c < coast_; ++c) {
      const std::int32_t ci = tree_ + divergences_ + c;
      Reach& r = at(ci);
      r.meters = Meters();
      r.topNode = NewNode();
      r.bottomNode = NewNode();
      rows_.push_back({0, ci, c == 0 ? 0 : ci - 1, 1, 714, 0});
      rows_.push_back({1, -1, ci, 0, 712, 0});
    }
  }

  // Com_ids scattered over a range, as real identifiers are.
  void NumberReaches() {
    const auto n = static_cast<std::int32_t>(reaches_.size());
    std::vector<std::int32_t> perm(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) perm[static_cast<std::size_t>(i)] = i;
    for (std::int32_t i = n - 1; i > 0; --i)
      std::swap(perm[static_cast<std::size_t>(i)], perm[static_cast<std::size_t>(random_.Below(i + 1))]);
    for (std::int32_t i = 0; i < n; ++i) at(i).comId = 1000001 + 3 * perm[static_cast<std::size_t>(i)];
    std::sort(cuts_.begin(), cuts_.end());
  }

  std::string Code(std::int32_t i) const {
    char code[16];
    std::snprintf(code, sizeof code, "%08d%06d", 1010001 + i / 20000, i % 20000 + 1);
    return code;
  }

  void WriteReaches(Output& out) {
    static constexpr std::array<const char*, 4> kDates = {"19991110", "20020314", "20080317", "20120905"};
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(reaches_.size()); ++i) {
      const Reach& r = at(i);
      out.Whole(r.comId);
      out.Text(",");
      out.Text(Code(i));
      out.Text(",");
      out.Text(kDates[static_cast<std::size_t>(r.comId % 4)]);
      out.Text(",");
      out.Whole(r.level);
      out.Text(",");
      out.Whole(r.meters);
      out.Text(",");
      out.Whole(90000000 + i);
      out.Text("\n");
    }
  }

  void Section(Output& out, std::int32_t comId, std::int32_t from, std::int32_t to, std::int32_t fnode,
               std::int32_t tnode, std::int32_t meters) {
    out.Measure(from);
    out.Text(",");
    out.Measure(to);
    out.Text(",");
    out.Whole(fnode);
    out.Text(",");
    out.Whole(tnode);
    out.Text(",");
    out.Whole(comId);
    out.Text(",");
    out.Whole(meters);
    out.Text("\n");
  }

  // Each reach's sections from its foot up, its length shared among them.
  void WriteSections(Output& out) {
    std::size_t c = 0;
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(reaches_.size()); ++i) {
      const Reach& r = at(i);
      if (r.lake) {
        const std::int32_t middle = NewNode();
        Section(out, r.comId, kTop, 150000, middle, r.bottomNode, r.meters / 2);
        Section(out, r.comId, 150000, kLakeTop, r.topNode, middle, r.meters - r.meters / 2);
        continue;
      }
      std::int32_t from = 0;
      std::int32_t fromNode = r.bottomNode;
      std::int32_t used = 0;
      for (; c < cuts_.size() && cuts_[c].reach == i; ++c) {
        if (cuts_[c].at == from) continue;
        const auto share = static_cast<std::int32_t>(static_cast<std::int64_t>(r.meters) * (cuts_[c].at - from) / kTop);
        Section(out, r.comId, from, cuts_[c].at, cuts_[c].node, fromNode, share);
        used += share;
        from = cuts_[c].at;
        fromNode = cuts_[c].node;
      }
      Section(out, r.comId, from, kTop, r.topNode, fromNode, r.meters - used);
      if (r.branchFrom != 0) Section(out, r.comId, kTop, kLakeTop, r.branchFrom, r.topNode, 100 + r.meters / 3);
    }
  }

  void WriteFlows(Output& out) {
    // Rows name reaches by index until here; a headwater row leaves none.
    for (Row& row : rows_) {
      row.leaving = row.leaving < 0 ? 0 : at(row.leaving).comId;
      row.entering = at(row.entering).comId;
    }
    std::sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) {
      if (a.group != b.group) return a.group < b.group;
      if (a.leaving != b.leaving) return a.leaving < b.leaving;
      if (a.dLevel != b.dLevel) return a.dLevel < b.dLevel;
      return a.entering < b.entering;
    });
    std::int32_t rel = 0;
    for (const Row& row : rows_) {
      const bool reversed = row.dir == 710;
      out.Whole(++rel);
      out.Text(",");
      out.Whole(reversed ? row.entering : row.leaving);
      out.Text(",");
      out.Whole(reversed ? row.leaving : row.entering);
      out.Text(",");
      out.Whole(row.sequence);
      out.Text(",");
      out.Whole(row.dir);
      out.Text(",");
      out.Whole(row.dLevel);
      out.Text("\n");
    }
  }

  Random random_;
  std::int32_t tree_ = 0;
  std::int32_t divergences_ = 0;
  std::int32_t coast_ = 0;
  std::int32_t nextNode_ = 50000001;
  std::vector<Reach> reaches_;
  std::vector<Cut> cuts_;    // cuts of every reach, ordered by reach and measure
  std::vector<Cut> joinAt_;  // tributaries that join inside a reach: (tributary, measure)
  std::vector<Row> rows_;
};

}  // namespace

std::optional<BasinEnds> WriteBasin(const BasinShape& shape, const std::string& folder) {
  Basin basin(shape);
  if (!basin.Write(folder)) return std::nullopt;
  return basin.Ends();
}

}  // namespace rill::bench
