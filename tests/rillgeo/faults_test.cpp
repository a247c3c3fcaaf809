// How rillgeo fails: the first column missing and the first value unreadable
// are the ones named, whatever is read after them, and each fault maps to
// the documented exit status.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "rillgeo/geometry/ogr_columns.h"
#include "rillgeo/rillgeo.h"

namespace rill::testing {
namespace {

constexpr const char* kColumns[] = {"COMID", "FromNode", "LENGTHKM", "FDATE"};

// A feature 7 of a layer "flowlines" whose four text columns hold `values`
// (nothing: left unset).
class OneFeature {
 public:
  explicit OneFeature(const std::vector<std::optional<std::string>>& values)
      : fields_(new OGRFeatureDefn("flowlines")) {
    fields_->Reference();
    for (const char* name : kColumns) {
      OGRFieldDefn field(name, OFTString);
      fields_->AddFieldDefn(&field);
    }
    feature_ = std::make_unique<OGRFeature>(fields_);
    feature_->SetFID(7);
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (values[i]) feature_->SetField(static_cast<int>(i), values[i]->c_str());
    }
  }
  ~OneFeature() {
    feature_.reset();
    fields_->Release();
  }
  OGRFeature& feature() { return *feature_; }
  const OGRFeatureDefn& fields() const { return *fields_; }

 private:
  OGRFeatureDefn* fields_;
  std::unique_ptr<OGRFeature> feature_;
};

struct ReadCase {
  std::vector<std::optional<std::string>> values;  // COMID, FromNode, LENGTHKM, FDATE
  const char* fault;                               // empty when every value reads
};

TEST(FieldReader, NamesTheFirstValueThatCannotBeRead) {
  const ReadCase cases[] = {
      {{"12", " 34 ", "1.5", "1999-11-10"}, ""},
      {{"abc", std::nullopt, "x", "never"}, "feature 7: column COMID holds 'abc', not a whole number"},
      {{"12", std::nullopt, "x", "never"}, "feature 7: column FromNode is empty"},
      {{"12", "3.0", "1e3", "never"}, "feature 7: column LENGTHKM holds '1e3', not a length in plain decimals"},
      {{"12", "3", "1.5", "1999-1x-10"}, "feature 7: column FDATE holds '1999-1x-10', not a date"},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.fault);
    OneFeature one(c.values);
    geo::FieldReader read(one.feature());
    const std::int64_t comId = read.Whole(0);
    const std::int64_t fromNode = read.Whole(1);
    const std::string length = read.Decimal(2);
    const std::string date = read.Date(3);
    EXPECT_EQ(read.status().message(), c.fault);
    if (*c.fault == '\0') {
      EXPECT_EQ(std::make_tuple(comId, fromNode, length, date), std::make_tuple(12, 34, "1.5", "19991110"));
    } else {
      EXPECT_EQ(read.status().fault(), Fault::InputMissing);
    }
  }
}

TEST(LayerColumns, NamesTheFirstRequiredColumnMissing) {
  OneFeature one({});
  geo::LayerColumns columns(one.fields());
  EXPECT_EQ(columns.Require({"comid"}), 0);
  EXPECT_EQ(columns.Find({"ToNode"}), -1);
  EXPECT_TRUE(columns.status().ok());
  EXPECT_EQ(columns.Require({"ToNode"}), -1);
  EXPECT_EQ(columns.Require({"Hydroseq"}), -1);
  EXPECT_EQ(columns.Require({"FDATE"}), 3);
  EXPECT_EQ(columns.status().message(), "column ToNode is missing from layer flowlines");
}

TEST(ExitStatusOf, OptionsThatCannotBeUsedAreTwoAnyOtherFaultOne) {
  const std::pair<Fault, int> cases[] = {
      {Fault::None, 0},         {Fault::Unusable, 2},    {Fault::InputMissing, 1},
      {Fault::OutputFailed, 1}, {Fault::OutOfMemory, 1}, {Fault::Failed, 1},
  };
  for (const auto& [fault, status] : cases) {
    EXPECT_EQ(geo::ExitStatusOf(fault == Fault::None ? Status::Ok() : Status(fault, "why")), status);
  }
}

}  // namespace
}  // namespace rill::testing
